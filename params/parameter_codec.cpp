#include "params/parameter_codec.h"

#include "params/decimal_text.h"
#include "params/sql_text.h"
#include "params/text_util.h"

#include <bit>
#include <cmath>
#include <limits>
#include <string>

namespace {

uint32_t BigEndian(std::span<const uint8_t> bytes) {
    uint32_t value = 0;
    for (uint8_t byte : bytes)
        value = (value << 8) | byte;
    return value;
}

void PutBigEndian(uint32_t value, std::span<uint8_t> bytes) {
    for (size_t i = bytes.size(); i-- > 0;) {
        bytes[i] = static_cast<uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

int AsciiLength(TParamType type) {
    return type == ptASCII16 ? 16 : 24;
}

// Device texts: 0xFF (erased memory) and control bytes read as blanks, so the trimmed text is
// printable and never carries a byte that would cut an SQL statement short.
std::string AsciiText(std::span<const uint8_t> bytes) {
    std::string latin1;
    for (uint8_t byte : bytes) {
        const bool blank =
            byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte <= 0x9F) || byte == 0xFF;
        latin1 += blank ? ' ' : static_cast<char>(byte);
    }
    return QuoteSqlText(Latin1ToUtf8(TrimText(latin1)));
}

void DecodeNumber(TParamType type, uint32_t raw, TArrResult& result) {
    switch (type) {
    case ptINT16:
        result.IntValue = static_cast<int16_t>(raw);
        result.Text = std::to_string(result.IntValue);
        break;
    case ptINT32:
        result.IntValue = static_cast<int32_t>(raw);
        result.Text = std::to_string(result.IntValue);
        break;
    case ptUINT32:
        result.UIntValue = raw;
        result.Text = std::to_string(result.UIntValue);
        break;
    case ptFLOAT:
        result.FloatValue = std::bit_cast<float>(raw);
        result.Text = FormatFloatText(result.FloatValue);
        break;
    default: // UINT16 and the option-list types
        result.IntValue = static_cast<int32_t>(raw);
        result.Text = std::to_string(result.IntValue);
        break;
    }
}

// The integer of a value text inside [low, high], 0 for any other text.
int64_t IntegerInRange(std::string_view text, int64_t low, int64_t high) {
    const auto value = ParseIntegerText(text);
    return (value && *value >= low && *value <= high) ? *value : 0;
}

float SingleOf(double value) {
    constexpr double limit = 3.4028235677973366e38; // first value that rounds to infinity
    if (std::fabs(value) >= limit)
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

void EncodeAscii(std::string_view text, std::span<uint8_t> destination) {
    const std::u32string points = Utf8ToCodePoints(text);
    for (size_t i = 0; i < destination.size(); ++i) {
        uint8_t byte = 0x20;
        if (i < points.size())
            byte = points[i] < 0x100 ? static_cast<uint8_t>(points[i]) : '?';
        destination[i] = byte;
    }
}

uint32_t EncodedNumber(TParamType type, std::string_view text, int byteCount) {
    switch (type) {
    case ptINT16:
        return static_cast<uint16_t>(IntegerInRange(text, -32768, 32767));
    case ptUINT16:
        return static_cast<uint32_t>(IntegerInRange(text, 0, 65535));
    case ptINT32:
        return static_cast<uint32_t>(IntegerInRange(text, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
    case ptUINT32: // a 64-bit integer of which the low 32 bits are sent
        return static_cast<uint32_t>(IntegerInRange(text, 0, std::numeric_limits<int64_t>::max()) &
                                     0xFFFFFFFF);
    case ptFLOAT:
        return std::bit_cast<uint32_t>(SingleOf(ParseDecimalText(text)));
    default: // option-list types
        return static_cast<uint32_t>(IntegerInRange(text, 0, byteCount == 1 ? 255 : 65535));
    }
}

} // namespace

TParamType ParamTypeOf(std::string_view typeName) {
    const std::string name = TrimText(typeName);
    if (name.starts_with("SELECT_"))
        return ptSELECT;
    if (name.starts_with("BINARY_"))
        return ptBINARY;
    static constexpr std::pair<std::string_view, TParamType> table[] = {
        {"INT16", ptINT16}, {"UINT16", ptUINT16},   {"INT32", ptINT32},    {"UINT32", ptUINT32},
        {"FLOAT", ptFLOAT}, {"ASCII16", ptASCII16}, {"ASCII24", ptASCII24}};
    for (const auto& [text, type] : table) {
        if (name == text)
            return type;
    }
    return ptUnknown;
}

bool IsOptionListType(TParamType type) {
    return type == ptSELECT || type == ptBINARY;
}

int TypeWidth(TParamType type, int byteCount) {
    switch (type) {
    case ptINT16:
    case ptUINT16:
        return 2;
    case ptINT32:
    case ptUINT32:
    case ptFLOAT:
        return 4;
    case ptASCII16:
    case ptASCII24:
        return AsciiLength(type);
    case ptSELECT:
    case ptBINARY:
        return byteCount == 1 ? 1 : 2;
    default:
        return 0;
    }
}

bool DecodeStreamValue(std::string_view typeName, std::span<const uint8_t> stream, int offset,
                       int byteCount, TArrResult& result) {
    const TParamType type = ParamTypeOf(typeName);
    if (type == ptUnknown) {
        result.Text = "''";
        return true;
    }
    const int width = TypeWidth(type, byteCount);
    if (offset < 0 || static_cast<size_t>(offset) + static_cast<size_t>(width) > stream.size()) {
        SetResultError(result);
        return false;
    }
    const auto bytes = stream.subspan(static_cast<size_t>(offset), static_cast<size_t>(width));
    if (type == ptASCII16 || type == ptASCII24)
        result.Text = AsciiText(bytes);
    else
        DecodeNumber(type, BigEndian(bytes), result);
    return true;
}

int EncodeParameterValue(std::string_view typeName, std::string_view valueText, int byteCount,
                         std::span<uint8_t> destination) {
    const TParamType type = ParamTypeOf(typeName);
    const int width = TypeWidth(type, byteCount);
    if (width == 0 || destination.size() < static_cast<size_t>(width))
        return 0;
    const auto target = destination.first(static_cast<size_t>(width));
    if (type == ptASCII16 || type == ptASCII24)
        EncodeAscii(valueText, target);
    else
        PutBigEndian(EncodedNumber(type, valueText, byteCount), target);
    return width;
}
