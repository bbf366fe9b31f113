#include "modbus/tag_value_codec.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using TByteImage = std::vector<uint8_t>;

// The integer part of a value, toward zero, reduced modulo 2^64. Values that have no integer part
// (NaN, infinities) give 0 instead of undefined behaviour.
uint64_t IntegerBits(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double twoTo63 = 9223372036854775808.0;
    constexpr double twoTo64 = 18446744073709551616.0;
    double m = std::fmod(std::trunc(value), twoTo64);
    if (m >= -twoTo63 && m < twoTo63)
        return static_cast<uint64_t>(static_cast<int64_t>(m));
    if (m < 0)
        m += twoTo64; // exact: m lies in [-2^64, -2^63)
    return static_cast<uint64_t>(m);
}

float ToSingle(double value) {
    constexpr double maxSingle = std::numeric_limits<float>::max();
    if (std::isfinite(value) && std::fabs(value) > maxSingle)
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// Bytes of one value in its type's form, least significant byte first.
uint64_t TypeBits(TTagType type, double value) {
    if (type == pttFloat)
        return std::bit_cast<uint32_t>(ToSingle(value));
    if (type == pttDouble)
        return std::bit_cast<uint64_t>(value);
    return IntegerBits(value);
}

double FromTypeBits(TTagType type, uint64_t bits) {
    switch (type) {
    case pttShortInt:
        return static_cast<int8_t>(bits);
    case pttByte:
        return static_cast<uint8_t>(bits);
    case pttSmallInt:
        return static_cast<int16_t>(bits);
    case pttWord:
        return static_cast<uint16_t>(bits);
    case pttLongInt:
        return static_cast<int32_t>(bits);
    case pttDWord:
        return static_cast<uint32_t>(bits);
    case pttFloat:
        return std::bit_cast<float>(static_cast<uint32_t>(bits));
    case pttInt64:
        return static_cast<double>(static_cast<int64_t>(bits));
    case pttQWord:
        return static_cast<double>(bits);
    case pttDouble:
        return std::bit_cast<double>(bits);
    default:
        return static_cast<double>(bits);
    }
}

int TypeBytes(TTagType type) {
    return TagTypeBits(type, 8) / 8;
}

// The swaps exchange bytes, 16-bit words or 32-bit halves; each flips one bit of a byte's index
// inside the element, so all three together are one index mask.
size_t SwapMask(const TTagLayout& layout, int elementBytes) {
    size_t mask = 0;
    if (layout.SwapBytes && elementBytes >= 2)
        mask |= 1;
    if (layout.SwapWords && elementBytes >= 4)
        mask |= 2;
    if (layout.SwapDWords && elementBytes >= 8)
        mask |= 4;
    return mask;
}

TByteImage WordsToImage(TTagType protocolType, const TArrayOfDouble& words) {
    TByteImage image;
    if (protocolType == pttDefault) {
        image.assign((words.size() + 7) / 8, 0);
        for (size_t i = 0; i < words.size(); ++i)
            if (words[i] != 0)
                image[i / 8] |= static_cast<uint8_t>(1u << (i % 8));
        return image;
    }
    const int width = TypeBytes(protocolType);
    image.reserve(words.size() * static_cast<size_t>(width));
    for (double word : words) {
        const uint64_t bits = TypeBits(protocolType, word);
        for (int b = 0; b < width; ++b)
            image.push_back(static_cast<uint8_t>(bits >> (8 * b)));
    }
    return image;
}

TArrayOfDouble ImageToWords(TTagType protocolType, const TByteImage& image, size_t wordCount) {
    TArrayOfDouble words(wordCount, 0.0);
    if (protocolType == pttDefault) {
        for (size_t i = 0; i < wordCount && i / 8 < image.size(); ++i)
            words[i] = (image[i / 8] >> (i % 8)) & 1u;
        return words;
    }
    const size_t width = static_cast<size_t>(TypeBytes(protocolType));
    for (size_t i = 0; i < wordCount && (i + 1) * width <= image.size(); ++i) {
        uint64_t bits = 0;
        for (size_t b = 0; b < width; ++b)
            bits |= uint64_t{image[i * width + b]} << (8 * b);
        words[i] = FromTypeBits(protocolType, bits);
    }
    return words;
}

// Byte of the image where element `offset` starts, inside the first word it lies in.
size_t FirstElementByte(const TTagLayout& layout, int64_t offset) {
    const int64_t inWord = (int64_t{layout.ElementBits} * offset) % layout.WordBits;
    return static_cast<size_t>(inWord / layout.ElementBits * (layout.ElementBits / 8));
}

} // namespace

TWordSpan WordSpanOf(const TTagLayout& layout, int64_t count, int64_t offset) {
    const int64_t eb = layout.ElementBits;
    const int64_t wb = layout.WordBits;
    TWordSpan span;
    if (eb < wb) {
        const int64_t first = offset * eb / wb;
        span.WordOffset = static_cast<int32_t>(first);
        span.WordCount = static_cast<int32_t>(((offset + count) * eb + wb - 1) / wb - first);
    } else {
        span.WordCount = static_cast<int32_t>(eb / wb * count);
        span.WordOffset = static_cast<int32_t>(eb / wb * offset);
    }
    return span;
}

int64_t FirstWordOf(const TTagLayout& layout, int64_t offset) {
    if (layout.ElementBits >= layout.WordBits)
        return int64_t{layout.ElementBits / layout.WordBits} * offset;
    return int64_t{layout.ElementBits} * offset / layout.WordBits;
}

TArrayOfDouble RawToTagValues(const TTagLayout& layout, const TArrayOfDouble& words,
                              int32_t offset) {
    if (!layout.Converts())
        return words;
    const TByteImage image = WordsToImage(layout.ProtocolTagType, words);
    const size_t width = static_cast<size_t>(TypeBytes(layout.TagType));
    const size_t mask = SwapMask(layout, static_cast<int>(width));
    TArrayOfDouble elements;
    for (size_t pos = FirstElementByte(layout, offset); pos + width <= image.size(); pos += width) {
        uint64_t bits = 0;
        for (size_t b = 0; b < width; ++b)
            bits |= uint64_t{image[pos + (b ^ mask)]} << (8 * b);
        elements.push_back(FromTypeBits(layout.TagType, bits));
    }
    return elements;
}

TArrayOfDouble TagToRawValues(const TTagLayout& layout, const TArrayOfDouble& rawValues,
                              const TArrayOfDouble& values, int32_t offset) {
    if (!layout.Converts())
        return values;
    const TWordSpan span = WordSpanOf(layout, static_cast<int64_t>(values.size()), offset);
    TArrayOfDouble covered(static_cast<size_t>(std::max(span.WordCount, 0)), 0.0);
    for (size_t i = 0; i < covered.size(); ++i) {
        const size_t source = static_cast<size_t>(span.WordOffset) + i;
        if (source < rawValues.size())
            covered[i] = rawValues[source];
    }
    TByteImage image = WordsToImage(layout.ProtocolTagType, covered);
    const size_t width = static_cast<size_t>(TypeBytes(layout.TagType));
    const size_t mask = SwapMask(layout, static_cast<int>(width));
    size_t pos = FirstElementByte(layout, offset);
    for (double value : values) {
        if (pos + width > image.size())
            break;
        const uint64_t bits = TypeBits(layout.TagType, value);
        for (size_t b = 0; b < width; ++b)
            image[pos + (b ^ mask)] = static_cast<uint8_t>(bits >> (8 * b));
        pos += width;
    }
    return ImageToWords(layout.ProtocolTagType, image, covered.size());
}
