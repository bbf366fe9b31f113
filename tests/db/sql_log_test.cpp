#include "db/sql_log.h"
#include "db/user_database.h"

#include "db_fixture.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(SqlLog, KindTexts) {
    const std::vector<std::pair<int, const char*>> table = {
        {0, "detCustom\t\t"}, {1, "detPrepare\t\t"},  {2, "detExecute\t\t"},  {3, "detFetch\t\t"},
        {4, "detCommit\t\t"}, {5, "detRollBack\t\t"}, {6, "detParamValue\t"}, {7, "detActualSQL\t"},
        {8, "Unknown\t\t\t"}, {-1, "Unknown\t\t\t"}};
    for (const auto& [kind, text] : table)
        EXPECT_EQ(TSqlLog::KindText(kind), QString::fromLatin1(text)) << kind;
    EXPECT_EQ(TSqlLog::FormatLine(QStringLiteral("USR\t"), detCommit, QStringLiteral("COMMIT")),
              QStringLiteral("USR\tdetCommit\t\tCOMMIT"));
}

TEST(SqlLog, EveryStatementOfBothConnectionsIsLoggedWithItsPrefix) {
    TDbFixture f;
    const QString logPath = f.Path(QStringLiteral("sql.log"));
    f.Db.SetSqlLog(std::make_shared<TSqlLog>(logPath));
    f.OpenTemplate();
    CreateUserDatabase(f.Db, f.Path(QStringLiteral("u.db")));
    f.Db.SQLite3Con.Execute(QStringLiteral("UPDATE mb_segment SET tag='T1' WHERE id=1"), 5);
    f.Db.CloseAll();

    const QStringList lines = ReadLines(logPath);
    for (const QString& line : lines) {
        EXPECT_TRUE(line.startsWith("USR\t") || line.startsWith("TPL\t")) << line.toStdString();
    }
    EXPECT_FALSE(
        lines.filter(QStringLiteral("USR\tdetExecute\t\tDROP TABLE IF EXISTS mb_node")).isEmpty());
    EXPECT_FALSE(lines.filter(QStringLiteral("USR\tdetActualSQL\tUPDATE mb_segment SET tag='T1'"))
                     .isEmpty());
    EXPECT_FALSE(lines.filter(QStringLiteral("USR\tdetCommit\t\tCOMMIT")).isEmpty());
    EXPECT_FALSE(
        lines.filter(QStringLiteral("TPL\tdetPrepare\t\tSELECT * FROM mb_parameter WHERE pid=0"))
            .isEmpty());
    EXPECT_FALSE(
        lines.filter(QStringLiteral("TPL\tdetActualSQL\tSELECT * FROM mb_parameter WHERE pid=0"))
            .isEmpty());
    EXPECT_FALSE(lines.filter(QStringLiteral("TPL\tdetFetch\t\t2 rows")).isEmpty());
    // A statement spread over several lines still takes one line of the log.
    EXPECT_FALSE(
        lines.filter(QStringLiteral("USR\tdetExecute\t\tCREATE TABLE `mb_segment` (  `id`"))
            .isEmpty());
}

TEST(SqlLog, NothingIsWrittenWithoutTheSwitch) {
    TDbFixture f;
    f.OpenTemplate();
    CreateUserDatabase(f.Db, f.Path(QStringLiteral("u.db")));
    f.Db.CloseAll();
    EXPECT_FALSE(QFile::exists(f.Path(QStringLiteral("sql.log"))));
}
