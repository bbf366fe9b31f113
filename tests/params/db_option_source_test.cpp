#include "params/db_option_source.h"
#include "params/option_display_text.h"

#include "db/db_connection.h"
#include "db/db_query.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DbOptionSourceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        hooks.TraceQuery = [this](const QString&, const QString& sql, int n) {
            traces.emplace_back(n, sql.trimmed());
        };
        connection.SetDatabaseName(dir.filePath(QStringLiteral("devices.db")));
        connection.Open();
        for (const char* sql :
             {"CREATE TABLE mb_select (id INTEGER, title TEXT, type TEXT, multiple TEXT)",
              "CREATE TABLE mb_option (pid INTEGER, value INTEGER, sorting INTEGER, "
              "textID INTEGER, symbol INTEGER, selected TEXT)",
              "CREATE TABLE mb_parameter (id INTEGER, pid INTEGER, sorting INTEGER, modreg "
              "INTEGER, regcnt INTEGER, access INTEGER, type TEXT, value TEXT, min TEXT, max "
              "TEXT, factory TEXT, textID INTEGER, copyto TEXT, refresh TEXT, block TEXT, "
              "byteofs TEXT, label TEXT, cond TEXT, vallist TEXT)",
              "INSERT INTO mb_select VALUES (4, 'SELECT_MODE', '1', '0'), "
              "(5, 'BINARY_A''B', 'x', '1')",
              "INSERT INTO mb_option VALUES (4, 2, 2, 71, -1, '0'), (4, 1, 1, 70, 3, '1'), "
              "(5, 8, 1, 80, -1, '')",
              "INSERT INTO mb_parameter VALUES (9, 42, 3, 45001, 'x', 3, 'SELECT_MODE', '1', "
              "'', '', '0', 12, 'mb_node.tag', '2', '45001:4', '3:1', 'M', '', '')"})
            connection.Execute(QString::fromLatin1(sql), 0);
    }
    QTemporaryDir dir;
    TDbHooks hooks;
    TDbConnection connection{QStringLiteral("SQLite3ConTpl"), drTemplate, &hooks};
    TDbQuery query{connection, QStringLiteral("SQLQueryTpl")};
    std::vector<std::pair<int, QString>> traces;
};

TEST_F(DbOptionSourceTest, LoadsTheOptionListTableFromTheTemplate) {
    TDbOptionListSource source(query);
    TOptionListTable table;
    table.Load(source, nullptr);
    ASSERT_EQ(table.Lists().size(), 2u);
    const TOptionList* mode = table.Find("SELECT_MODE");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->type, 1);
    ASSERT_EQ(mode->OptionCount(), 2);
    EXPECT_EQ(mode->Options[0].value, 1) << "options come in sorting order";
    EXPECT_EQ(mode->Options[0].symbol, 3);
    EXPECT_TRUE(mode->Options[0].selected);
    EXPECT_TRUE(table.Find("BINARY_A'B")->multiple);
    EXPECT_EQ(table.Find("BINARY_A'B")->type, 0);
}

TEST_F(DbOptionSourceTest, OptionLookupIsTracedAndQuotesTheTitle) {
    TDbOptionCatalog catalog(query, 17);
    const TOptionDisplay shown = OptionDisplayText("SELECT_MODE", "1", catalog,
                                                   [](int32_t id) { return std::to_string(id); });
    EXPECT_EQ(shown.Caption, "70");
    EXPECT_EQ(shown.Symbol, 3);
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].first, 17);
    EXPECT_FALSE(catalog.FindOption("SELECT_MODE", 9));
    EXPECT_TRUE(catalog.FindOption("BINARY_A'B", 8));
}

TEST_F(DbOptionSourceTest, ParameterRowsReadEveryColumnByName) {
    query.Open(QStringLiteral("SELECT * FROM mb_parameter"), 16);
    const TParameterRow row = ParameterRowOf(query);
    EXPECT_EQ(row.id, 9);
    EXPECT_EQ(row.pid, 42);
    EXPECT_EQ(row.modreg, 45001);
    EXPECT_EQ(row.regcnt, 0) << "a number column holding text reads as 0";
    EXPECT_EQ(row.type, "SELECT_MODE");
    EXPECT_EQ(row.textID, 12);
    EXPECT_EQ(row.copyto, "mb_node.tag");
    EXPECT_EQ(row.block, "45001:4");
    EXPECT_EQ(row.byteofs, "3:1");
    EXPECT_EQ(row.label, "M");

    query.Open(QStringLiteral("SELECT modreg, type FROM mb_parameter"), 16);
    const TParameterRow partial = ParameterRowOf(query);
    EXPECT_EQ(partial.modreg, 45001);
    EXPECT_EQ(partial.block, "0") << "columns the query lacks keep their defaults";
    EXPECT_EQ(partial.regcnt, 1);
}

} // namespace
