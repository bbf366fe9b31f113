#include "params/text_util.h"

#include <cstdint>
#include <utility>

namespace {

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of the UTF-8 sequence that starts with this byte, 0 for a byte that cannot start one.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The code point at byte i and the bytes it takes; a malformed sequence is one "?" of one byte.
std::pair<char32_t, size_t> NextCodePoint(std::string_view utf8, size_t i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = SequenceLength(lead);
    bool valid = length > 0 && i + static_cast<size_t>(length) <= utf8.size();
    char32_t point = length == 1 ? lead : (lead & (0x7F >> length));
    for (int k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
        valid = (next & 0xC0) == 0x80;
        point = (point << 6) | (next & 0x3F);
    }
    if (valid && length > 1 && (point < 0x80 || (point >= 0xD800 && point <= 0xDFFF)))
        valid = false;
    if (!valid)
        return {U'?', 1};
    return {point, static_cast<size_t>(length)};
}

} // namespace

std::string TrimText(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsTrimmed(text[first]))
        ++first;
    while (last > first && IsTrimmed(text[last - 1]))
        --last;
    return std::string(text.substr(first, last - first));
}

bool SameTextIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::u32string Utf8ToCodePoints(std::string_view utf8) {
    std::u32string points;
    for (size_t i = 0; i < utf8.size();) {
        const auto [point, length] = NextCodePoint(utf8, i);
        points += point;
        i += length;
    }
    return points;
}

size_t Utf8CharacterCount(std::string_view utf8) {
    return Utf8ToCodePoints(utf8).size();
}

std::string Utf8Prefix(std::string_view utf8, size_t characters) {
    size_t i = 0;
    for (size_t n = 0; n < characters && i < utf8.size(); ++n)
        i += NextCodePoint(utf8, i).second;
    return std::string(utf8.substr(0, i));
}
