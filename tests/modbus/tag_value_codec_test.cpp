#include "modbus/tag_value_codec.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int Bytes = 1, Words = 2, DWords = 4;

TTagLayout Layout(TTagType tagType, TTagType protocolType = pttWord, int swaps = 0) {
    TTagLayout layout;
    layout.TagType = tagType;
    layout.ProtocolTagType = protocolType;
    layout.WordBits = protocolType == pttDefault ? 1 : TagTypeBits(protocolType, 16);
    layout.ElementBits = TagTypeBits(tagType, layout.WordBits);
    layout.SwapBytes = (swaps & Bytes) != 0;
    layout.SwapWords = (swaps & Words) != 0;
    layout.SwapDWords = (swaps & DWords) != 0;
    return layout;
}

// Compares element by element so that NaN patterns count as equal.
void ExpectSameValues(const TArrayOfDouble& actual, const TArrayOfDouble& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        if (std::isnan(expected[i]))
            EXPECT_TRUE(std::isnan(actual[i])) << "element " << i;
        else
            EXPECT_EQ(actual[i], expected[i]) << "element " << i;
    }
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

struct DecodeCase {
    std::string name;
    TTagLayout layout;
    TArrayOfDouble words;
    int32_t offset;
    TArrayOfDouble elements;
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, ReadsElementsFromWords) {
    const DecodeCase& c = GetParam();
    ExpectSameValues(RawToTagValues(c.layout, c.words, c.offset), c.elements);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Decode,
    ::testing::Values(
        DecodeCase{"DWordLowWordFirst", Layout(pttDWord), {1, 2}, 0, {131073}},
        DecodeCase{"DWordSwapWords", Layout(pttDWord, pttWord, Words), {1, 2}, 0, {65538}},
        DecodeCase{"TwoDWords", Layout(pttDWord), {1, 2, 3, 4}, 0, {131073, 4 * 65536.0 + 3}},
        DecodeCase{"DWordSwapBytesInsideHalves",
                   Layout(pttDWord, pttWord, Bytes),
                   {0x0102, 0},
                   0,
                   {0x0201}},
        DecodeCase{"SmallIntSigned", Layout(pttSmallInt), {0xFFFF, 0x8000}, 0, {-1, -32768}},
        DecodeCase{"SmallIntSwapBytes", Layout(pttSmallInt, pttWord, Bytes), {0x0102}, 0, {513}},
        DecodeCase{"LongIntSigned", Layout(pttLongInt), {0xFFFE, 0xFFFF}, 0, {-2}},
        DecodeCase{"FloatLowWordFirst", Layout(pttFloat), {0, 0x3FC0}, 0, {1.5}},
        DecodeCase{"FloatSwapWords", Layout(pttFloat, pttWord, Words), {0x3FC0, 0}, 0, {1.5}},
        DecodeCase{"FloatNaNCarried", Layout(pttFloat), {0, 0x7FC0}, 0, {NaN}},
        DecodeCase{"FloatInfinityCarried", Layout(pttFloat), {0, 0xFF80}, 0, {-Inf}},
        DecodeCase{"DoubleLowWordFirst", Layout(pttDouble), {0, 0, 0, 0x3FF0}, 0, {1.0}},
        DecodeCase{"DoubleBigEndianWords",
                   Layout(pttDouble, pttWord, Words | DWords),
                   {0x3FF0, 0, 0, 0},
                   0,
                   {1.0}},
        DecodeCase{"DoubleAllSwapsReverseBytes",
                   Layout(pttDouble, pttWord, Bytes | Words | DWords),
                   {0xF03F, 0, 0, 0},
                   0,
                   {1.0}},
        DecodeCase{"Int64Signed", Layout(pttInt64), {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, 0, {-1}},
        DecodeCase{"QWordSwapDWords", Layout(pttQWord, pttWord, DWords), {0, 0, 1, 0}, 0, {1}},
        DecodeCase{"BytesLowFirst", Layout(pttByte), {0x1234}, 0, {0x34, 0x12}},
        DecodeCase{"ByteAtOddOffsetIsTheHighByte", Layout(pttByte), {0x1234}, 1, {0x12}},
        DecodeCase{"ShortIntSigned", Layout(pttShortInt), {0x80FF}, 0, {-1, -128}},
        DecodeCase{
            "ByteFromBits", Layout(pttByte, pttDefault), {1, 0, 1, 0, 0, 0, 0, 1}, 0, {0x85}},
        DecodeCase{"WordFromBitsIgnoresPartialElement",
                   Layout(pttWord, pttDefault),
                   {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1},
                   0,
                   {0x8003}},
        DecodeCase{"WordsBeyond16BitsAreReduced", Layout(pttByte), {65536 + 0x0201}, 0, {1, 2}},
        DecodeCase{"NaNWordIsZero", Layout(pttSmallInt), {NaN}, 0, {0}},
        DecodeCase{"ShortImageGivesNoElement", Layout(pttDWord), {7}, 0, {}},
        DecodeCase{"DefaultTypePassesThrough", Layout(pttDefault), {70000, -3}, 0, {70000, -3}},
        DecodeCase{"ProtocolTypePassesThrough", Layout(pttWord), {70000}, 0, {70000}}),
    [](const auto& info) { return info.param.name; });

struct EncodeCase {
    std::string name;
    TTagLayout layout;
    TArrayOfDouble raw; // the tag's raw words before the write
    TArrayOfDouble values;
    int32_t offset;
    TArrayOfDouble words;
};

class Encode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Encode, WritesElementsIntoCoveredWords) {
    const EncodeCase& c = GetParam();
    ExpectSameValues(TagToRawValues(c.layout, c.raw, c.values, c.offset), c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Encode,
    ::testing::Values(
        EncodeCase{"DWordLowWordFirst", Layout(pttDWord), {0, 0}, {131073}, 0, {1, 2}},
        EncodeCase{"DWordSwapWords", Layout(pttDWord, pttWord, Words), {0, 0}, {65538}, 0, {1, 2}},
        EncodeCase{"SecondDWordCoversWordsTwoAndThree",
                   Layout(pttDWord),
                   {9, 9, 9, 9},
                   {65536},
                   1,
                   {0, 1}},
        EncodeCase{"NegativeSmallInt", Layout(pttSmallInt), {0}, {-1}, 0, {65535}},
        EncodeCase{"IntegerPartTowardZero", Layout(pttLongInt), {0, 0}, {-1.9}, 0, {65535, 65535}},
        EncodeCase{"ByteReducedToItsWidth", Layout(pttByte), {0}, {300}, 0, {44}},
        EncodeCase{"HighByteKeepsLowByte", Layout(pttByte), {0x1234}, {0xAB}, 1, {0xAB34}},
        EncodeCase{"LowByteKeepsHighByte", Layout(pttByte), {0x1234}, {0xAB}, 0, {0x12AB}},
        EncodeCase{"ByteInSecondWord", Layout(pttByte), {0x1111, 0x2222}, {0xAB}, 3, {0xAB22}},
        EncodeCase{
            "FloatSwapWords", Layout(pttFloat, pttWord, Words), {0, 0}, {1.5}, 0, {0x3FC0, 0}},
        EncodeCase{
            "FloatOutOfRangeBecomesInfinity", Layout(pttFloat), {0, 0}, {1e300}, 0, {0, 0x7F80}},
        EncodeCase{"FloatNaN", Layout(pttFloat), {0, 0}, {NaN}, 0, {0, 0x7FC0}},
        EncodeCase{"DoubleBigEndianWords",
                   Layout(pttDouble, pttWord, Words | DWords),
                   {0, 0, 0, 0},
                   {1.0},
                   0,
                   {0x3FF0, 0, 0, 0}},
        EncodeCase{"NaNIntoIntegerIsZero", Layout(pttLongInt), {5, 5}, {NaN}, 0, {0, 0}},
        EncodeCase{
            "ByteIntoBits", Layout(pttByte, pttDefault), {}, {0x85}, 0, {1, 0, 1, 0, 0, 0, 0, 1}},
        EncodeCase{"SecondByteIntoBits",
                   Layout(pttByte, pttDefault),
                   {},
                   {0xFF},
                   1,
                   {1, 1, 1, 1, 1, 1, 1, 1}},
        EncodeCase{"MissingRawWordsCountAsZero", Layout(pttByte), {}, {0x12}, 1, {0x1200}},
        EncodeCase{"DefaultTypePassesThrough", Layout(pttDefault), {0}, {5.5}, 0, {5.5}}),
    [](const auto& info) { return info.param.name; });

TEST(TagValueCodec, EveryTypeSurvivesTheRoundTripWithAllSwaps) {
    const TArrayOfDouble samples{0, 1, -1, 100, -100, 1234.5};
    for (TTagType type : {pttShortInt, pttByte, pttSmallInt, pttLongInt, pttDWord, pttFloat,
                          pttInt64, pttQWord, pttDouble}) {
        for (int swaps = 0; swaps < 8; ++swaps) {
            const TTagLayout layout = Layout(type, pttWord, swaps);
            for (double sample : samples) {
                const bool isSigned = type == pttShortInt || type == pttSmallInt ||
                                      type == pttLongInt || type == pttInt64 || type == pttFloat ||
                                      type == pttDouble;
                if (!isSigned && sample < 0)
                    continue;
                if (TagTypeBits(type, 16) == 8 && std::fabs(sample) > 127)
                    continue;
                const bool isFloat = type == pttFloat || type == pttDouble;
                const double expected = isFloat ? sample : std::trunc(sample);
                const TArrayOfDouble words = TagToRawValues(layout, {}, {sample}, 0);
                const TArrayOfDouble back = RawToTagValues(layout, words, 0);
                ASSERT_FALSE(back.empty());
                EXPECT_EQ(back[0], expected) << "type " << type << " swaps " << swaps;
            }
        }
    }
}

TEST(TagValueCodec, WordSpansFollowTheElementSize) {
    struct Row {
        TTagLayout layout;
        int64_t count, offset;
        int32_t wordOffset, wordCount;
    };
    const Row rows[] = {
        {Layout(pttWord), 12, 0, 0, 12}, {Layout(pttDWord), 2, 1, 2, 4},
        {Layout(pttByte), 1, 1, 0, 1},   {Layout(pttByte), 3, 0, 0, 2},
        {Layout(pttByte), 2, 3, 1, 2},   {Layout(pttWord, pttDefault), 1, 2, 32, 16},
        {Layout(pttDouble), 1, 0, 0, 4},
    };
    for (const Row& row : rows) {
        const TWordSpan span = WordSpanOf(row.layout, row.count, row.offset);
        EXPECT_EQ(span.WordOffset, row.wordOffset);
        EXPECT_EQ(span.WordCount, row.wordCount);
    }
}

} // namespace
