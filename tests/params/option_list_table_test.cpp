#include "params/option_display_text.h"
#include "params/option_list_table.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class FakeOptionSource : public TOptionListSource {
public:
    std::vector<TSelectRow> Selects;
    std::map<int32_t, std::vector<TOptionRow>> Options;
    std::vector<int32_t> Asked;

    std::vector<TSelectRow> SelectRows() override { return Selects; }
    std::vector<TOptionRow> OptionRows(int32_t selectId) override {
        Asked.push_back(selectId);
        return Options[selectId];
    }
};

std::vector<TOptionRow> ManyOptions(int count) {
    std::vector<TOptionRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({1 << (i % 31), i, 100 + i, -1, ""});
    return rows;
}

class OptionListTableTest : public testing::Test {
protected:
    void SetUp() override {
        source.Selects = {{7, "SELECT_MODE", "2", "0"},
                          {0, "SELECT_EMPTY", "x", ""},
                          {9, "BINARY_ALARM", "1", "1"},
                          {11, "BINARY_BIG", "", "1 "}};
        source.Options[7] = {{0, 1, 20, 3, "1"}, {1, 2, 21, -1, "0"}, {2, 3, 22, -5, ""}};
        source.Options[9] = {{1, 1, 30, -1, ""}, {4, 2, 31, -1, ""}};
        source.Options[11] = ManyOptions(40);
        table.Load(source, [this](const std::string& line) { lines.push_back(line); });
    }
    FakeOptionSource source;
    TOptionListTable table;
    std::vector<std::string> lines;
};

TEST_F(OptionListTableTest, LoadsListsAndOptionsInOrder) {
    ASSERT_EQ(table.Lists().size(), 4u);
    const TOptionList* mode = table.Find("SELECT_MODE");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->Position, 0);
    EXPECT_EQ(mode->id, 7);
    EXPECT_EQ(mode->type, 2);
    EXPECT_FALSE(mode->multiple);
    ASSERT_EQ(mode->OptionCount(), 3);
    EXPECT_EQ(mode->Options[0].symbol, 3);
    EXPECT_TRUE(mode->Options[0].selected);
    EXPECT_FALSE(mode->Options[1].selected);
    EXPECT_EQ(table.PositionOf("BINARY_ALARM"), 2);
    EXPECT_TRUE(table.Find("BINARY_ALARM")->multiple);
    EXPECT_EQ(table.Find("SELECT_EMPTY")->type, 0);
    EXPECT_EQ(table.Find("SELECT_EMPTY")->OptionCount(), 0);
    EXPECT_EQ(table.PositionOf("SELECT_NONE"), -1);
    EXPECT_EQ(source.Asked, (std::vector<int32_t>{7, 9, 11})) << "a list of id 0 has no options";
}

TEST_F(OptionListTableTest, LongListsKeepEveryOptionAndAreReported) {
    EXPECT_EQ(table.Find("BINARY_BIG")->OptionCount(), 40);
    EXPECT_EQ(lines, (std::vector<std::string>{"BINARY_BIG zu viele Optionen!"}));

    FakeOptionSource edge;
    edge.Selects = {{1, "SELECT_31", "0", "0"}, {2, "SELECT_32", "0", "0"}};
    edge.Options[1] = ManyOptions(31);
    edge.Options[2] = ManyOptions(32);
    std::vector<std::string> edgeLines;
    TOptionListTable edgeTable;
    edgeTable.Load(edge, [&](const std::string& line) { edgeLines.push_back(line); });
    EXPECT_EQ(edgeLines, (std::vector<std::string>{"SELECT_32 zu viele Optionen!"}));
}

TEST_F(OptionListTableTest, ReloadReplacesTheLists) {
    source.Selects.resize(1);
    table.Load(source, nullptr);
    EXPECT_EQ(table.Lists().size(), 1u);
}

TEST_F(OptionListTableTest, DisplayTextOfAnOption) {
    const TTextLookup text = [](int32_t id) { return "text" + std::to_string(id); };
    const TOptionDisplay first = OptionDisplayText("SELECT_MODE", "0", table, text);
    EXPECT_EQ(first.Caption, "text20");
    EXPECT_EQ(first.Symbol, 3);
    EXPECT_TRUE(first.HasSymbol());
    const TOptionDisplay second = OptionDisplayText("SELECT_MODE", " 1", table, text);
    EXPECT_EQ(second.Caption, "text21");
    EXPECT_FALSE(second.HasSymbol());
    EXPECT_FALSE(OptionDisplayText("SELECT_MODE", "2", table, text).HasSymbol());
    for (const char* value : {"5", "x", "", "1.0", "99999999999"}) {
        const TOptionDisplay none = OptionDisplayText("SELECT_MODE", value, table, text);
        EXPECT_EQ(none.Caption, "") << value;
        EXPECT_FALSE(none.HasSymbol()) << value;
    }
    EXPECT_EQ(OptionDisplayText("SELECT_OTHER", "0", table, text).Caption, "");
}

TEST(OptionQueries, TitleIsQuotedAndValueBare) {
    EXPECT_EQ(OptionDisplayQuery("SELECT_MODE", 3),
              "SELECT textID, symbol FROM mb_option WHERE pid=(SELECT id FROM mb_select WHERE "
              "title='SELECT_MODE') AND value=3 LIMIT 0,1");
    EXPECT_NE(OptionDisplayQuery("SELECT_A'B", 1).find("title='SELECT_A''B')"), std::string::npos);
    EXPECT_EQ(OptionListSelectQuery(), "SELECT * FROM mb_select");
    EXPECT_EQ(OptionListOptionsQuery(12), "SELECT * FROM mb_option WHERE pid=12 ORDER BY sorting");
}

} // namespace
