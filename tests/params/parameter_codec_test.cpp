#include "params/decimal_text.h"
#include "params/parameter_codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Blanks(Bytes head, size_t width) {
    head.resize(width, 0x20);
    return head;
}

struct DecodeCase {
    const char* type;
    Bytes stream;
    int offset;
    int byteCount;
    const char* text;
    int32_t intValue;
    uint32_t uintValue;
};

class DecodeTable : public testing::TestWithParam<DecodeCase> {
protected:
    void SetUp() override { SetDecimalSeparator('.'); }
};

TEST_P(DecodeTable, DecodesTextAndNumber) {
    const DecodeCase& c = GetParam();
    TArrResult result = StartResult(c.type);
    EXPECT_TRUE(DecodeStreamValue(c.type, c.stream, c.offset, c.byteCount, result));
    EXPECT_EQ(result.Text, c.text);
    EXPECT_EQ(result.IntValue, c.intValue);
    EXPECT_EQ(result.UIntValue, c.uintValue);
    EXPECT_EQ(result.Status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Types, DecodeTable,
    testing::Values(
        DecodeCase{"INT16", {0xFF, 0xFE}, 0, 2, "-2", -2, 0},
        DecodeCase{"UINT16", {0xFF, 0xFE}, 0, 2, "65534", 65534, 0},
        DecodeCase{"INT16", {0x80, 0x00}, 0, 2, "-32768", -32768, 0},
        DecodeCase{"INT32", {0x00, 0x01, 0x00, 0x00}, 0, 4, "65536", 65536, 0},
        DecodeCase{"INT32", {0xFF, 0xFF, 0xFF, 0xFE}, 0, 4, "-2", -2, 0},
        DecodeCase{"UINT32", {0xFF, 0xFF, 0xFF, 0xFE}, 0, 4, "4294967294", 0, 4294967294u},
        DecodeCase{"UINT16", {0x00, 0x12, 0x34}, 1, 2, "4660", 0x1234, 0},
        // option lists: one byte only for a byte count of 1, else 16 bits
        DecodeCase{"SELECT_MODE", {0x01, 0x02}, 0, 2, "258", 258, 0},
        DecodeCase{"SELECT_MODE", {0x01, 0x02}, 1, 1, "2", 2, 0},
        DecodeCase{"BINARY_ALARMS", {0x80, 0x01}, 0, 2, "32769", 32769, 0},
        DecodeCase{"BINARY_ALARMS", {0xFF, 0x01}, 0, 1, "255", 255, 0},
        DecodeCase{"ASCII16", Blanks({0x41, 0x42}, 16), 0, 16, "'AB'", 0, 0},
        // erased memory and control bytes are blanks; inner apostrophes are doubled
        DecodeCase{"ASCII16", Blanks({0xFF, 'O', '\'', 'K', 0x00, 0x00}, 16), 0, 16, "'O''K'", 0,
                   0},
        DecodeCase{"ASCII24", Blanks({'T', 'a', 'g', 0x01, 'X'}, 24), 0, 24, "'Tag X'", 0, 0},
        DecodeCase{"ASCII16", Blanks({0x4D, 0xE4, 0x72}, 16), 0, 16, "'M\xC3\xA4r'", 0, 0},
        DecodeCase{"WHATEVER", {}, 0, 0, "''", 0, 0}, DecodeCase{"", {}, 5, 0, "''", 0, 0},
        DecodeCase{"int16", {0x00, 0x01}, 0, 2, "''", 0, 0}));

TEST(Decode, FloatUsesTheSystemDecimalSeparator) {
    const Bytes bytes{0x3F, 0xC0, 0x00, 0x00};
    for (char separator : {'.', ','}) {
        SetDecimalSeparator(separator);
        TArrResult result = StartResult("FLOAT");
        ASSERT_TRUE(DecodeStreamValue("FLOAT", bytes, 0, 4, result));
        EXPECT_FLOAT_EQ(result.FloatValue, 1.5f);
        EXPECT_EQ(result.Text, std::string("1") + separator + "5");
    }
    SetDecimalSeparator('.');
}

TEST(Decode, ValueBeyondTheStreamFails) {
    const Bytes bytes{0x00, 0x01};
    for (const char* type : {"INT32", "FLOAT", "ASCII16", "INT16"}) {
        TArrResult result = StartResult(type);
        EXPECT_FALSE(DecodeStreamValue(type, bytes, 1, 2, result)) << type;
        EXPECT_EQ(result.Status, -1);
        EXPECT_EQ(result.Text, "Error");
    }
    TArrResult result = StartResult("INT16");
    EXPECT_FALSE(DecodeStreamValue("INT16", bytes, -1, 2, result));
}

struct EncodeCase {
    const char* type;
    const char* text;
    int byteCount;
    Bytes expected;
};

class EncodeTable : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTable, WritesTheTypeWidth) {
    const EncodeCase& c = GetParam();
    Bytes destination(32, 0xAA);
    const int written = EncodeParameterValue(c.type, c.text, c.byteCount, destination);
    ASSERT_EQ(written, static_cast<int>(c.expected.size()));
    EXPECT_EQ(Bytes(destination.begin(), destination.begin() + written), c.expected);
    for (size_t i = static_cast<size_t>(written); i < destination.size(); ++i)
        ASSERT_EQ(destination[i], 0xAA) << "byte " << i << " beyond the width was touched";
}

INSTANTIATE_TEST_SUITE_P(
    Types, EncodeTable,
    testing::Values(
        EncodeCase{"INT16", "-2", 2, {0xFF, 0xFE}}, EncodeCase{"INT16", "70000", 2, {0x00, 0x00}},
        EncodeCase{"INT16", "-32769", 2, {0x00, 0x00}}, EncodeCase{"INT16", "abc", 2, {0x00, 0x00}},
        EncodeCase{"INT16", " 12 ", 2, {0x00, 0x0C}},
        EncodeCase{"UINT16", "70000", 2, {0x00, 0x00}},
        EncodeCase{"UINT16", "65535", 2, {0xFF, 0xFF}}, EncodeCase{"UINT16", "-1", 2, {0x00, 0x00}},
        EncodeCase{"INT32", "65536", 4, {0x00, 0x01, 0x00, 0x00}},
        EncodeCase{"INT32", "-2", 4, {0xFF, 0xFF, 0xFF, 0xFE}},
        EncodeCase{"INT32", "2147483648", 4, {0x00, 0x00, 0x00, 0x00}},
        EncodeCase{"INT32", "1.5", 4, {0x00, 0x00, 0x00, 0x00}},
        EncodeCase{"UINT32", "-5", 4, {0x00, 0x00, 0x00, 0x00}},
        EncodeCase{"UINT32", "4294967295", 4, {0xFF, 0xFF, 0xFF, 0xFF}},
        EncodeCase{"UINT32", "4294967301", 4, {0x00, 0x00, 0x00, 0x05}},
        EncodeCase{"FLOAT", "1,5", 4, {0x3F, 0xC0, 0x00, 0x00}},
        EncodeCase{"FLOAT", "1.5", 4, {0x3F, 0xC0, 0x00, 0x00}},
        EncodeCase{"FLOAT", "-2", 4, {0xC0, 0x00, 0x00, 0x00}},
        EncodeCase{"FLOAT", "0.1", 4, {0x3D, 0xCC, 0xCC, 0xCD}},
        EncodeCase{"FLOAT", "x", 4, {0x00, 0x00, 0x00, 0x00}},
        EncodeCase{"FLOAT", "1e39", 4, {0x7F, 0x80, 0x00, 0x00}},
        EncodeCase{"ASCII16", "AB", 2, Blanks({0x41, 0x42}, 16)},
        EncodeCase{
            "ASCII16",
            "0123456789ABCDEFGH",
            2,
            {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'}},
        EncodeCase{"ASCII24", "M\xC3\xA4r\xE2\x82\xAC", 2, Blanks({'M', 0xE4, 'r', '?'}, 24)},
        EncodeCase{"SELECT_MODE", "3", 1, {0x03}}, EncodeCase{"SELECT_MODE", "256", 1, {0x00}},
        EncodeCase{"SELECT_MODE", "256", 2, {0x01, 0x00}},
        EncodeCase{"SELECT_MODE", "65536", 2, {0x00, 0x00}},
        EncodeCase{"BINARY_ALARMS", "255", 1, {0xFF}},
        EncodeCase{"BINARY_ALARMS", "-1", 2, {0x00, 0x00}}, EncodeCase{"UNKNOWN", "5", 2, {}},
        EncodeCase{"", "5", 2, {}}));

TEST(Encode, TooShortDestinationWritesNothing) {
    Bytes destination(3, 0xAA);
    EXPECT_EQ(EncodeParameterValue("INT32", "1", 4, destination), 0);
    EXPECT_EQ(destination, Bytes(3, 0xAA));
}

// What the write pass encodes, the read pass must decode to the same value text.
TEST(Codec, EncodedValuesDecodeBack) {
    SetDecimalSeparator(',');
    const std::vector<std::pair<const char*, const char*>> values{
        {"INT16", "-1234"}, {"UINT16", "40000"},      {"INT32", "-70000"}, {"UINT32", "3000000000"},
        {"FLOAT", "-0,25"}, {"ASCII24", "'Pumpe 3'"}, {"SELECT_X", "7"}};
    for (const auto& [type, text] : values) {
        Bytes bytes(32, 0);
        const std::string plain = std::string(text).front() == '\''
                                      ? std::string(text).substr(1, std::string(text).size() - 2)
                                      : text;
        const int width = EncodeParameterValue(type, plain, 2, bytes);
        TArrResult result = StartResult(type);
        ASSERT_TRUE(DecodeStreamValue(type, bytes, 0, 2, result));
        EXPECT_EQ(result.Text, text) << type << " over " << width << " bytes";
    }
    SetDecimalSeparator('.');
}

TEST(Codec, TypeNames) {
    EXPECT_EQ(ParamTypeOf(" INT16 "), ptINT16);
    EXPECT_EQ(ParamTypeOf("SELECT_"), ptSELECT);
    EXPECT_EQ(ParamTypeOf("BINARY_x"), ptBINARY);
    EXPECT_EQ(ParamTypeOf("SELECT"), ptUnknown);
    EXPECT_EQ(ParamTypeOf("ASCII"), ptUnknown);
    EXPECT_EQ(TypeWidth(ptSELECT, 1), 1);
    EXPECT_EQ(TypeWidth(ptSELECT, 0), 2);
    EXPECT_EQ(TypeWidth(ptUnknown, 2), 0);
}

} // namespace
