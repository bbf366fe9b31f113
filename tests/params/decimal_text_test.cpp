#include "params/conversion_error.h"
#include "params/decimal_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(DecimalText, BothSeparatorsReadAsTheDecimalSeparator) {
    for (char separator : {'.', ','}) {
        SetDecimalSeparator(separator);
        EXPECT_DOUBLE_EQ(ParseDecimalText("1,5"), 1.5);
        EXPECT_DOUBLE_EQ(ParseDecimalText("1.5"), 1.5);
        EXPECT_DOUBLE_EQ(ParseDecimalText(" -0,25 "), -0.25);
        EXPECT_DOUBLE_EQ(ParseDecimalText("+3"), 3.0);
        EXPECT_DOUBLE_EQ(ParseDecimalText(",5"), 0.5);
        EXPECT_DOUBLE_EQ(ParseDecimalText("1e3"), 1000.0);
    }
    SetDecimalSeparator('.');
}

TEST(DecimalText, NoNumberGivesZero) {
    for (const char* text : {"", " ", "abc", "1.000,5", "1,2,3", "inf", "-inf", "nan", "1e999",
                             "0x10", "++1", "1 2", "--1", "."}) {
        EXPECT_FALSE(TryParseDecimalText(text)) << text;
        EXPECT_EQ(ParseDecimalText(text), 0.0) << text;
    }
}

TEST(DecimalText, Integers) {
    EXPECT_EQ(ParseIntegerText(" 42 "), 42);
    EXPECT_EQ(ParseIntegerText("-7"), -7);
    EXPECT_EQ(ParseIntegerText("+7"), 7);
    for (const char* text : {"", "1.0", "1,0", "12a", "a12", "- 1", "+-1", "99999999999999999999"})
        EXPECT_FALSE(ParseIntegerText(text)) << text;
    EXPECT_EQ(IntegerOrThrow("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_THROW(IntegerOrThrow("2147483648"), TConversionError);
    EXPECT_THROW(IntegerOrThrow("x"), TConversionError);
}

TEST(DecimalText, FloatTextIsShortAndReadsBack) {
    SetDecimalSeparator(',');
    EXPECT_EQ(FormatFloatText(0.1f), "0,1");
    EXPECT_EQ(FormatFloatText(-2.0f), "-2");
    EXPECT_EQ(FormatFloatText(1000000.0f), "1000000");
    EXPECT_EQ(FormatFloatText(0.0f), "0");
    EXPECT_EQ(FormatFloatText(std::numeric_limits<float>::infinity()), "Inf");
    EXPECT_EQ(FormatFloatText(std::numeric_limits<float>::quiet_NaN()), "NaN");
    for (float value : {3.4e38f, 1.17549435e-38f, 123.456f, -7.5e-7f, 1e20f}) {
        const std::string text = FormatFloatText(value);
        EXPECT_EQ(static_cast<float>(ParseDecimalText(text)), value) << text;
    }
    SetDecimalSeparator('.');
}

} // namespace
