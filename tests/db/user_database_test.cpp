#include "db/segment_tree.h"
#include "db/user_database.h"

#include "db_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

std::vector<int> TraceNumbers(const TDbFixture& f) {
    std::vector<int> numbers;
    for (const auto& trace : f.Traces)
        numbers.push_back(trace.first);
    return numbers;
}

} // namespace

TEST(UserDatabase, FirstStartCreatesFolderChainTablesSegmentAndCommonRows) {
    TDbFixture f;
    f.OpenTemplate();
    const QString path = f.Path(QStringLiteral("data/KOLVANE/RERUDADadivod/kolvanebus.db"));

    EXPECT_EQ(OpenUserDatabase(f.Db, path), udCreated);
    f.Db.CloseAll();

    EXPECT_EQ(f.Log.first(), QStringLiteral("Neue Datenbank kolvanebus.db wird angelegt!"));
    EXPECT_EQ(RowsOf(path, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"),
              QStringList({"mb_node", "mb_parameter", "mb_segment"}));
    EXPECT_EQ(RowsOf(path, "SELECT * FROM mb_segment"), QStringList({"1|0|0|Modbus-Segment|"}));
    EXPECT_EQ(
        RowsOf(path, "SELECT pid, modreg, value, copyto FROM mb_parameter ORDER BY sorting"),
        QStringList({"0|45201|Halle 1|mb_segment.caption", "0|45213|O'Brien|mb_segment.tag"}));
    EXPECT_EQ(RowsOf(path, "SELECT count(*) FROM pragma_table_info('mb_node')"),
              QStringList({"21"}));
    EXPECT_EQ(TraceNumbers(f), (std::vector<int>{15, 16, 17, 18, 19, 20, 21, 11, 13}));
}

TEST(UserDatabase, CreationStatementsGoToTheProgramLog) {
    TDbFixture f;
    f.OpenTemplate();
    CreateUserDatabase(f.Db, f.Path(QStringLiteral("u.db")));
    ASSERT_EQ(f.Log.size(), 3);
    EXPECT_TRUE(f.Log[0].startsWith(QStringLiteral("CREATE TABLE `mb_segment` (\r\n `id`")));
    EXPECT_TRUE(f.Log[1].startsWith(QStringLiteral("CREATE TABLE `mb_node` (")));
    EXPECT_TRUE(f.Log[2].startsWith(QStringLiteral("CREATE TABLE `mb_parameter` (")));
    ASSERT_EQ(f.Memo.size(), 1);
    EXPECT_TRUE(f.Memo[0].startsWith(QStringLiteral("SQL: INSERT INTO mb_parameter")));
}

TEST(UserDatabase, SecondStartRunsTheUpdateCheckAndKeepsData) {
    TDbFixture f;
    f.OpenTemplate();
    const QString path = f.Path(QStringLiteral("u/modbus.db"));
    OpenUserDatabase(f.Db, path);
    f.Db.SQLite3Con.Execute(QStringLiteral("INSERT INTO mb_node (pid,name) VALUES(1,'UT10')"), 11);
    f.Db.SQLite3Con.Close();
    f.Log.clear();

    EXPECT_EQ(OpenUserDatabase(f.Db, path), udUpgraded);
    EXPECT_EQ(f.Log, QStringList({"UpdateCheck Datenbank modbus.db"}));
    f.Db.CloseAll();
    EXPECT_EQ(RowsOf(path, "SELECT name FROM mb_node"), QStringList({"UT10"}));
}

TEST(UserDatabase, MissingColumnsAreAddedInArrayOrderWithDefaults) {
    TDbFixture f;
    f.OpenTemplate();
    const QString path = f.Path(QStringLiteral("old.db"));
    CreateUserDatabase(f.Db, path);
    f.Db.CloseAll();
    // An older file: mb_node without load and collapse, one device row in it.
    ExecOnFile(path, "DROP TABLE mb_node; CREATE TABLE mb_node (id INTEGER PRIMARY KEY,"
                     " pid int(10) NOT NULL default '0', parentID int(10) NOT NULL default '0',"
                     " name varchar(32) NOT NULL default '', addr int(3) NOT NULL default '0');"
                     "INSERT INTO mb_node VALUES(7,1,0,'DI4',3);");
    const QStringList schemaBefore = RowsOf(path, "SELECT sql FROM sqlite_master");
    f.Log.clear();
    f.Traces.clear();

    EXPECT_EQ(OpenUserDatabase(f.Db, path), udUpgraded);
    f.Db.CloseAll();

    const QStringList added = f.Log.filter(QStringLiteral("Add Field: "));
    ASSERT_GE(added.size(), 2);
    EXPECT_LT(added.indexOf("Add Field: mb_node.load"),
              added.indexOf("Add Field: mb_node.collapse"));
    EXPECT_EQ(added.filter("mb_segment").size() + added.filter("mb_parameter").size(), 0);
    EXPECT_EQ(added.size(), 21 - 5);
    for (const auto& trace : f.Traces)
        EXPECT_EQ(trace.first, 23);
    EXPECT_EQ(RowsOf(path, "SELECT id, name, addr, load, collapse, icon FROM mb_node"),
              QStringList({"7|DI4|3|||-1"}));
    const QStringList after = RowsOf(path, "SELECT sql FROM sqlite_master");
    EXPECT_EQ(after.filter("mb_parameter"), schemaBefore.filter("mb_parameter"));
    EXPECT_EQ(after.filter("mb_segment"), schemaBefore.filter("mb_segment"));
}

TEST(UserDatabase, ColumnNamesAreComparedWithoutLetterCase) {
    TDbFixture f;
    f.OpenTemplate();
    const QString path = f.Path(QStringLiteral("case.db"));
    CreateUserDatabase(f.Db, path);
    f.Db.CloseAll();
    ExecOnFile(path, "ALTER TABLE mb_segment RENAME COLUMN caption TO CAPTION");
    f.Log.clear();
    OpenUserDatabase(f.Db, path);
    EXPECT_TRUE(f.Log.filter(QStringLiteral("Add Field")).isEmpty());
}

TEST(UserDatabase, FileLackingOneTableIsCreatedAnew) {
    TDbFixture f;
    f.OpenTemplate();
    const QString path = f.Path(QStringLiteral("broken.db"));
    CreateUserDatabase(f.Db, path);
    f.Db.SQLite3Con.Execute(QStringLiteral("INSERT INTO mb_node (pid,name) VALUES(1,'AI4')"), 11);
    f.Db.SQLite3Con.Execute(QStringLiteral("DROP TABLE mb_parameter"), 0);
    f.Db.SQLite3Con.Close();
    f.Log.clear();

    EXPECT_EQ(OpenUserDatabase(f.Db, path), udCreated);
    f.Db.CloseAll();
    EXPECT_EQ(f.Log.first(), QStringLiteral("Neue Datenbank broken.db wird angelegt!"));
    EXPECT_TRUE(RowsOf(path, "SELECT * FROM mb_node").isEmpty());
    EXPECT_EQ(RowsOf(path, "SELECT count(*) FROM mb_parameter"), QStringList({"2"}));
    EXPECT_EQ(RowsOf(path, "SELECT caption FROM mb_segment"), QStringList({"Modbus-Segment"}));
}

TEST(UserDatabase, FirstSegmentAndSegmentRow) {
    TDbFixture f;
    f.OpenTemplate();
    const QString path = f.Path(QStringLiteral("seg.db"));
    CreateUserDatabase(f.Db, path);
    f.Db.SQLite3Con.Execute(QStringLiteral("DELETE FROM mb_segment"), 0);
    EXPECT_EQ(FirstSegmentId(f.Db, 1), 1);
    EXPECT_FALSE(ReadSegment(f.Db, 1).has_value());
    f.Db.SQLite3Con.Execute(QStringLiteral("INSERT INTO mb_segment VALUES(4,0,0,'Linie 4','L4')"),
                            0);
    EXPECT_EQ(FirstSegmentId(f.Db, 1), 4);
    const auto row = ReadSegment(f.Db, 4);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->Caption, QStringLiteral("Linie 4"));
    EXPECT_EQ(row->Tag, QStringLiteral("L4"));
    EXPECT_EQ(f.Traces.back().first, 12);
    EXPECT_TRUE(f.Traces.back().second.startsWith(
        QStringLiteral("SQLQuery1: SELECT * FROM mb_segment WHERE id=4 LIMIT 0,1\n")));
}

TEST(UserDatabase, MissingTemplateParameterTableIsAnErrorNotAnEmptyFile) {
    TDbFixture f;
    f.Db.SQLite3ConTpl.SetDatabaseName(f.Path(QStringLiteral("nothing.db")));
    EXPECT_ANY_THROW(f.Db.SQLite3ConTpl.Open(false));
    EXPECT_FALSE(QFileInfo::exists(f.Path(QStringLiteral("nothing.db"))));
}
