#include "params/comma_list.h"
#include "params/conversion_error.h"
#include "params/label_table.h"

#include <gtest/gtest.h>

namespace {

TParameterRow LabelRow(const std::string& label, const std::string& value,
                       const std::string& factory = "0") {
    TParameterRow row;
    row.label = label;
    row.value = value;
    row.factory = factory;
    return row;
}

TParameterRow CondRow(const std::string& cond, const std::string& vallist) {
    TParameterRow row;
    row.cond = cond;
    row.vallist = vallist;
    return row;
}

TEST(LabelTable, GridModeFallsBackToFactory) {
    const std::vector<TParameterRow> rows{LabelRow("M", "2"), TParameterRow{},
                                          LabelRow("N", "Error", "5"), LabelRow(" ", "9")};
    const TLabelTable labels(rows, lmGrid);
    ASSERT_EQ(labels.Entries().size(), 2u);
    EXPECT_EQ(labels.Entries()[0].Value, 2);
    EXPECT_EQ(labels.Entries()[1].Value, 5);
    EXPECT_EQ(labels.NamesText(), "M,N");
}

TEST(LabelTable, ModesThrowOnNoIntegerWhereTheyReadOne) {
    EXPECT_THROW(TLabelTable({LabelRow("M", "x", "y")}, lmGrid), TConversionError);
    EXPECT_THROW(TLabelTable({LabelRow("M", "Error", "5")}, lmWrite), TConversionError);
    EXPECT_EQ(TLabelTable({LabelRow("M", " 7 ", "x")}, lmWrite).Entries()[0].Value, 7);
}

TEST(LabelTable, LookupIgnoresCaseAndFirstEntryWins) {
    const TLabelTable labels({LabelRow("Mode", "1"), LabelRow("MODE", "2")}, lmGrid);
    ASSERT_NE(labels.Find("mode"), nullptr);
    EXPECT_EQ(labels.Find("mOdE")->Value, 1);
    EXPECT_EQ(labels.Find("Mod"), nullptr);
    EXPECT_EQ(labels.Entries().size(), 2u);
}

TEST(ConditionHolds, ValueListRules) {
    struct Case {
        const char* cond;
        const char* vallist;
        int value;
        bool holds;
    } cases[] = {{"M", "1, 3", 1, true},      {"M", "1, 3", 3, true}, {"M", "1, 3", 13, false},
                 {"m", "1,3", 3, true},       {"M", "1 3", 3, true},  {"M", "\"3\"", 3, true},
                 {"M", "\"1, 3\"", 3, false}, {"M", "", 0, false},    {"M", "-1", -1, true},
                 {"M", ",,2,", 2, true},      {"M", "03", 3, false},  {"X", "1", 1, false},
                 {"", "5", 1, true},          {"  ", "5", 1, true},   {"M", "1,\t3", 3, true}};
    for (const Case& c : cases) {
        TLabelTable labels;
        labels.Add("M", c.value);
        EXPECT_EQ(ConditionHolds(CondRow(c.cond, c.vallist), labels), c.holds)
            << "cond '" << c.cond << "' vallist '" << c.vallist << "' value " << c.value;
    }
}

TEST(ConditionHolds, MissingLabelNeverApplies) {
    EXPECT_FALSE(ConditionHolds(CondRow("M", "0"), TLabelTable()));
}

TEST(CommaList, Splitting) {
    using List = std::vector<std::string>;
    EXPECT_EQ(SplitCommaList("1, 3"), (List{"1", "3"}));
    EXPECT_EQ(SplitCommaList("  a  b ,c "), (List{"a", "b", "c"}));
    EXPECT_EQ(SplitCommaList("\"x y\",z"), (List{"x y", "z"}));
    EXPECT_EQ(SplitCommaList("\"say \"\"hi\"\"\""), (List{"say \"hi\""}));
    EXPECT_EQ(SplitCommaList("1,,2"), (List{"1", "", "2"}));
    EXPECT_EQ(SplitCommaList("1,"), (List{"1", ""}));
    EXPECT_EQ(SplitCommaList("\"open"), (List{"open"}));
    EXPECT_EQ(SplitCommaList(""), List{});
}

} // namespace
