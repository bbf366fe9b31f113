#include "params/conversion_error.h"
#include "params/decimal_text.h"
#include "params/grid_rules.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class Options : public TOptionCatalog {
public:
    std::map<std::pair<std::string, int32_t>, TOptionRow> Rows;
    std::optional<TOptionRow> FindOption(std::string_view title, int32_t value) override {
        const auto found = Rows.find({std::string(title), value});
        if (found == Rows.end())
            return std::nullopt;
        return found->second;
    }
};

TParameterRow Row(int id, const std::string& type, const std::string& value, int access = 3) {
    TParameterRow row;
    row.id = id;
    row.pid = 42;
    row.type = type;
    row.value = value;
    row.access = access;
    row.textID = id * 10;
    return row;
}

class GridFillTest : public testing::Test {
protected:
    void SetUp() override {
        options.Rows[{"SELECT_MODE", 2}] = {2, 1, 500, 4, ""};
        options.Rows[{"SELECT_MODE", 3}] = {3, 2, 501, -1, ""};
        TParameterRow mode = Row(1, "SELECT_MODE", "2");
        mode.label = "M";
        TParameterRow dependent = Row(2, "INT16", "17");
        dependent.cond = "M";
        dependent.vallist = "1,3";
        rows = {mode, dependent, Row(3, "FLOAT", "1,5", 7), Row(4, "UINT16", "9", 1)};
    }
    TGridFill Fill() {
        return FillParameterRows(rows, options,
                                 [](int32_t id) { return "T" + std::to_string(id); });
    }
    Options options;
    std::vector<TParameterRow> rows;
};

TEST_F(GridFillTest, ConditionalAndHiddenRowsAreLeftOut) {
    TGridFill fill = Fill();
    ASSERT_EQ(fill.Rows.size(), 2u);
    EXPECT_EQ(fill.Rows[0].Id, "1");
    EXPECT_EQ(fill.Rows[1].Id, "4");

    rows[0].value = "3"; // the label row changed, the grid is filled again
    fill = Fill();
    ASSERT_EQ(fill.Rows.size(), 3u);
    EXPECT_EQ(fill.Rows[1].Id, "2");
}

TEST_F(GridFillTest, CellsAndDiagnosticsLines) {
    const TGridFill fill = Fill();
    const TGridRow& mode = fill.Rows[0];
    EXPECT_EQ(mode.Caption, "T10");
    EXPECT_EQ(mode.Display, "T500") << "an option shows its caption";
    EXPECT_EQ(mode.Type, "SELECT_MODE");
    EXPECT_EQ(mode.RW, "RW");
    EXPECT_EQ(mode.Value, "2");
    EXPECT_EQ(fill.Rows[1].Display, "9");
    EXPECT_EQ(fill.Rows[1].RW, "R");
    EXPECT_EQ(fill.NodeSymbols, (std::vector<int32_t>{4}));
    EXPECT_EQ(fill.MemoLines,
              (std::vector<std::string>{"Abhängigkeits-Label M = 2", "Labels: M | ",
                                        "Labels: M | M", "Labels: M | ", "Labels: M | "}));
}

TEST_F(GridFillTest, LabelRowWithoutAnyIntegerEndsTheFill) {
    rows[0].value = "x";
    rows[0].factory = "y";
    EXPECT_THROW(Fill(), TConversionError);
    rows[0].factory = "3";
    EXPECT_EQ(Fill().Rows.size(), 3u);
}

TEST(GridRules, AccessMarksAndEditableCells) {
    EXPECT_EQ(AccessText(1), "R");
    EXPECT_EQ(AccessText(2), "W");
    EXPECT_EQ(AccessText(3), "RW");
    EXPECT_EQ(AccessText(7), "");
    EXPECT_EQ(AccessText(0), "");
    TGridRow row{"c", "5", "12", "INT16", "RW", "5"};
    EXPECT_TRUE(IsEditableCell(gcDisplay, row));
    EXPECT_FALSE(IsEditableCell(gcCaption, row));
    EXPECT_FALSE(IsEditableCell(gcValue, row));
    row.RW = "R";
    EXPECT_FALSE(IsEditableCell(gcDisplay, row));
    row.RW = "rw";
    EXPECT_TRUE(IsEditableCell(gcDisplay, row));
    row.Id = "";
    EXPECT_FALSE(IsEditableCell(gcDisplay, row));
    EXPECT_FALSE(IsWritableRw(""));
}

TEST(GridRules, EditedValueComesFromTheCellOrTheOptionValue) {
    EXPECT_EQ(EditedValueText({"c", "typed", "1", "INT16", "RW", "old"}), "typed");
    EXPECT_EQ(EditedValueText({"c", "Caption", "1", "SELECT_M", "RW", "3"}), "3");
}

TEST(GridRules, LimitChecks) {
    SetDecimalSeparator('.');
    struct Case {
        const char* type;
        const char* min;
        const char* max;
        const char* value;
        const char* result;
        bool corrected;
    } cases[] = {
        {"INT16", "0", "100", "150", "100", true},
        {"INT16", "0", "100", "abc", "0", true},
        {"INT16", "0", "100", "50", "50", false},
        {"INT16", "0", "100", "100", "100", false},
        {"INT16", "10", "100", "5", "10", true},
        {"INT16", "10", "100", "", "10", true},
        {"INT32", "-5", "5", "12.7", "-5", true},
        {"UINT32", "0", "4294967295", "4294967296", "4294967295", true},
        {"UINT16", "", "", "77", "77", false},
        // the register's own range bounds every value, whatever the limits say
        {"INT16", "", "", "40000", "32767", true},
        {"INT16", "-100000", "100000", "-40000", "-32768", true},
        {"UINT16", "-5", "70000", "x", "0", true},
        {"UINT32", "", "", "-1", "0", true},
        {"UINT16", "", "", "x", "0", true},
        {"INT16", "", "-3", "x", "-3", true},
        {"FLOAT", "0.5", "", "0.2", "0.5", true},
        {"FLOAT", "0.5", "", "1000", "1000", false},
        {"FLOAT", "0,5", "", "0,7", "0,7", false},
        {"FLOAT", "0.5", "", "abc", "0.5", true},
        {"FLOAT", "", "10", "11", "10", true},
        {"FLOAT", "", "10", "1,5", "1,5", false},
        {"FLOAT", "", "", "x", "0", true},
        {"FLOAT", "", "-1", "x", "-1", true},
        {"FLOAT", "20", "10", "15", "10", true},
        {"ASCII16", "", "", "01234567890123456789", "0123456789012345", true},
        {"ASCII16", "", "", "0123456789012345", "0123456789012345", false},
        {"ASCII24", "", "",
         "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
         "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
         "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
         "\xC3\xA4\xC3\xA4",
         false},
        {"ASCII8", "", "", "abcdefghij", "abcdefgh", true},
        {"ASCII", "", "", "abc", "", true},
        {"SELECT_M", "0", "1", "9", "9", false},
        {"WHATEVER", "0", "1", "9", "9", false},
    };
    for (const Case& c : cases) {
        const TValueCheck check = CheckEditedValue(c.type, c.min, c.max, c.value);
        EXPECT_EQ(check.Value, c.result) << c.type << " " << c.value;
        EXPECT_EQ(check.Corrected, c.corrected) << c.type << " " << c.value;
    }
}

TEST(GridRules, StoringAnEdit) {
    TParameterRow stored = Row(12, "ASCII16", "old");
    stored.copyto = " mb_node.tag ";
    stored.refresh = "1";
    const TEditStore edit = EvaluateEdit(stored, "O'Neil", "old", 1);
    ASSERT_TRUE(edit.Store);
    ASSERT_EQ(edit.Statements.size(), 2u);
    EXPECT_EQ(edit.Statements[0].Sql, "UPDATE mb_parameter SET value='O''Neil' WHERE id=12");
    EXPECT_EQ(edit.Statements[0].Trace, 7);
    EXPECT_EQ(edit.Statements[1].Sql, "UPDATE mb_node SET tag='O''Neil' WHERE id=42");
    EXPECT_EQ(edit.Statements[1].Trace, 8);
    EXPECT_EQ(edit.Refresh, rkTree);
    EXPECT_EQ(edit.LogLines,
              (std::vector<std::string>{"UPDATE mb_parameter O'Neil", "UPDATE mb_node",
                                        "OldRowValue.1 = O'Neil", "REFRESH NodeTree 1"}));
}

TEST(GridRules, NothingIsStoredForTheSameOrACorrectedValue) {
    TParameterRow stored = Row(5, "INT16", "50");
    stored.min = "0";
    stored.max = "100";
    EXPECT_FALSE(EvaluateEdit(stored, "50", "50", 1).Store);
    const TEditStore corrected = EvaluateEdit(stored, "150", "50", 1);
    EXPECT_FALSE(corrected.Store);
    EXPECT_TRUE(corrected.Statements.empty());
    EXPECT_EQ(corrected.Check.Value, "100");
    // the next EditingDone finds the corrected text within the limits and stores it
    const TEditStore later = EvaluateEdit(stored, corrected.Check.Value, "50", 1);
    EXPECT_TRUE(later.Store);
    EXPECT_EQ(later.Refresh, rkNone);
    EXPECT_EQ(later.Statements.size(), 1u);
}

TEST(GridRules, RefreshCodes) {
    EXPECT_EQ(RefreshKindOf(""), rkNone);
    EXPECT_EQ(RefreshKindOf(" "), rkNone);
    EXPECT_EQ(RefreshKindOf("2"), rkWiring);
    EXPECT_EQ(RefreshKindOf("1"), rkTree);
    EXPECT_EQ(RefreshKindOf("x"), rkTree);
}

TEST(GridRules, DropDownQueriesAndSelection) {
    EXPECT_EQ(OptionItemsQuery("SELECT_MODE"),
              "SELECT value, textID FROM mb_option WHERE pid=(SELECT id FROM mb_select WHERE "
              "title='SELECT_MODE') ORDER BY sorting");
    EXPECT_EQ(OptionChoiceQuery("SELECT_A'B", 2),
              "SELECT value, symbol FROM mb_option WHERE pid=(SELECT id FROM mb_select WHERE "
              "title='SELECT_A''B') ORDER BY sorting LIMIT 2,1");
    EXPECT_EQ(SelectedOptionIndex({"0", "1", "1", "2"}, "1"), 2);
    EXPECT_EQ(SelectedOptionIndex({"0", "1"}, "5"), -1);
}

} // namespace
