#include "params/label_table.h"
#include "params/value_statement.h"

#include <gtest/gtest.h>

namespace {

TEST(ValueStatement, ReadPassLiteralAndStoredForm) {
    TArrResult text = StartResult("ASCII16");
    text.Text = "'O''K'";
    EXPECT_EQ(ResultLiteral(text), "'O''K'");
    TArrResult failed = StartResult("INT16");
    SetResultError(failed);
    EXPECT_EQ(ResultLiteral(failed), "'Error'");
    EXPECT_EQ(ParameterValueStatement(9, "Error"),
              "UPDATE mb_parameter SET value='Error' WHERE id=9");
    EXPECT_EQ(ParameterValueStatement(9, "a'b"), "UPDATE mb_parameter SET value='a''b' WHERE id=9");
}

TEST(ValueStatement, LabelAndConditionLogLines) {
    TLabelTable labels;
    labels.Add("M", 2);
    EXPECT_EQ(LabelLogLines(labels, lmGrid), std::vector<std::string>{"Abhängigkeits-Label M = 2"});
    EXPECT_EQ(LabelLogLines(labels, lmWrite),
              std::vector<std::string>{"Abhaengigkeits-Label M = 2"});
    TParameterRow row;
    row.cond = "m";
    row.vallist = "1, 2";
    EXPECT_EQ(AllowedValuesLogLine(row, labels), "Zulaessige Werte: 1, 2, => true");
    row.vallist = "3";
    EXPECT_EQ(AllowedValuesLogLine(row, labels), "Zulaessige Werte: 3, => false");
}

} // namespace
