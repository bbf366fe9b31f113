// The wiring view's rules: register values from parameter rows (plain, conditional and split
// into byte rows), rule conditions with masks and value lists, the choice per place.
#include "params/wiring_rules.h"

#include <gtest/gtest.h>

namespace {

TParameterRow Row(int modreg, std::string value, std::string block = "0",
                  std::string byteofs = "0") {
    TParameterRow row;
    row.modreg = modreg;
    row.value = std::move(value);
    row.block = std::move(block);
    row.byteofs = std::move(byteofs);
    return row;
}

TParameterRow Labelled(TParameterRow row, std::string label) {
    row.label = std::move(label);
    return row;
}

TParameterRow Conditional(TParameterRow row, std::string cond, std::string vallist) {
    row.cond = std::move(cond);
    row.vallist = std::move(vallist);
    return row;
}

TPngRule Rule(int pos, std::string png, int modreg = 0, int64_t mask = 0, std::string vlist = "",
              int modreg2 = 0, int64_t mask2 = 0, std::string vlist2 = "") {
    TPngRule rule;
    rule.pos = pos;
    rule.png = std::move(png);
    rule.Conditions[0] = {modreg, mask, std::move(vlist)};
    rule.Conditions[1] = {modreg2, mask2, std::move(vlist2)};
    return rule;
}

struct RegisterCase {
    const char* name;
    std::vector<TParameterRow> rows;
    int reg;
    bool found;
    uint16_t value;
};

class RegisterValueTest : public testing::TestWithParam<RegisterCase> {};

TEST_P(RegisterValueTest, GivesTheRegistersValue) {
    const RegisterCase& c = GetParam();
    const TRegisterValue r = RegisterValue(c.rows, c.reg);
    EXPECT_EQ(r.Found, c.found);
    EXPECT_EQ(r.Value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisterValueTest,
    testing::Values(
        RegisterCase{"own_register", {Row(41001, "258")}, 41001, true, 258},
        RegisterCase{"other_register_only", {Row(41002, "7")}, 41001, false, 0},
        RegisterCase{"negative_wraps_to_16_bits", {Row(41001, "-1")}, 41001, true, 65535},
        RegisterCase{"high_then_low_byte",
                     {Row(41001, "1", "41001:4", "0:1"), Row(41001, "5", "41001:4", "1:1")},
                     41001,
                     true,
                     261},
        RegisterCase{"high_byte_alone", {Row(41001, "2", "41001:4", "0:1")}, 41001, true, 512},
        RegisterCase{"high_byte_takes_only_its_low_eight_bits",
                     {Row(41001, "258", "41001:4", "0:1")},
                     41001,
                     true,
                     512},
        RegisterCase{"whole_block_row_stops",
                     {Row(41001, "9", "41001:4", "0:2"), Row(41001, "5", "41001:4", "1:1")},
                     41001,
                     true,
                     9},
        RegisterCase{"empty_block_stops_at_first",
                     {Row(41001, "3", ""), Row(41001, "4", "")},
                     41001,
                     true,
                     3},
        // Conditional rows count under the label seen last with a value in their list.
        RegisterCase{"condition_holds",
                     {Labelled(Row(41000, "2"), "M"), Conditional(Row(41001, "11"), "M", "1,2")},
                     41001,
                     true,
                     11},
        RegisterCase{"condition_fails_then_next_row",
                     {Labelled(Row(41000, "3"), "M"), Conditional(Row(41001, "11"), "M", "1,2"),
                      Conditional(Row(41001, "12"), "M", "3")},
                     41001,
                     true,
                     12},
        RegisterCase{"label_name_case_counts",
                     {Labelled(Row(41000, "1"), "M"), Conditional(Row(41001, "11"), "m", "1")},
                     41001,
                     false,
                     0},
        RegisterCase{
            "no_applicable_row", {Conditional(Row(41001, "11"), "M", "1")}, 41001, false, 0},
        // A value that was never read (empty or "Error") gives the register nothing.
        RegisterCase{"value_no_integer", {Row(41001, "Error")}, 41001, false, 0}),
    [](const testing::TestParamInfo<RegisterCase>& info) { return info.param.name; });

TEST(RuleHolds, MaskAndListDecide) {
    const TPngRule rule = Rule(1, "IN1_MA_L", 45001, 255, "1,2");
    EXPECT_TRUE(RuleHolds(rule, {Row(45001, "258")}));
    EXPECT_FALSE(RuleHolds(rule, {Row(45001, "259")}));
    EXPECT_FALSE(RuleHolds(rule, {}));
    // Every active condition must hold; 40000 or less means no condition.
    const TPngRule two = Rule(1, "IN1_RTD3_L", 41001, 65280, "768", 41001, 255, "3");
    EXPECT_TRUE(RuleHolds(two, {Row(41001, "771")}));
    EXPECT_FALSE(RuleHolds(two, {Row(41001, "772")}));
    EXPECT_TRUE(RuleHolds(Rule(5, "POWER", 40000, 255, "9"), {}));
}

TEST(ChooseWiringPictures, PlacesFollowTheRulesInOrder) {
    const std::vector<TParameterRow> rows = {Row(41001, "512"), Row(41301, "256")};
    const std::vector<TPngRule> rules = {Rule(0, "DEVICE_GR"),
                                         Rule(1, "IN1_MA_L", 41001, 65280, "0,256"),
                                         Rule(1, "IN1_V_L", 41001, 65280, "512"),
                                         Rule(4, "OUT4_STROM_R"),
                                         Rule(4, "OUT4_RELAY_R", 41301, 65280, "256,512"),
                                         Rule(5, "POWER"),
                                         Rule(5, "OUT4_RELAY_R", 41311, 65280, "256"),
                                         Rule(9, "NOWHERE"),
                                         Rule(8, "TRENNLINIE")};
    const TWiringPictures view = ChooseWiringPictures(rules, rows, "DEVICE_SW");
    const std::array<std::string, kWiringPlaces> expected = {
        "DEVICE_SW", "IN1_V_L", "", "", "OUT4_RELAY_R", "POWER", "", "", "TRENNLINIE"};
    EXPECT_EQ(view.Pictures, expected);
    EXPECT_EQ(view.MemoLines.front(), "0: DEVICE_GR | modreg: 0");
    EXPECT_EQ(view.MemoLines.size(), 7u); // two rules fail (IN1_MA_L, relay 2)
}

TEST(WiringQueries, LoadListKeepsOnlyRegisterNumbers) {
    EXPECT_EQ(LoadRegisterList("41001,41101, 41301"), "41001,41101,41301");
    EXPECT_EQ(LoadRegisterList(""), "");
    EXPECT_EQ(LoadRegisterList("41001,1);DROP TABLE mb_node;--"), "41001");
    EXPECT_EQ(WiringParameterQuery(7, "41001,41101"),
              "SELECT * FROM mb_parameter WHERE pid IN (SELECT id FROM mb_node WHERE id=7 OR "
              "parentID=7) AND modreg IN (41001,41101) ORDER by modreg, label DESC, sorting");
    EXPECT_EQ(WiringNodeQuery(7), "SELECT load, devid FROM mb_node WHERE id=7 OR parentID=7");
    EXPECT_EQ(WiringRulesQuery("00'D"), "SELECT * FROM mb_png WHERE devid='00''D'");
}

} // namespace
