#include "sim_value_encoder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

void AppendBigEndian(std::vector<uint8_t>& bytes, uint32_t value, int width) {
    for (int i = width - 1; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An integer in [low, high], or 0 when the text is none or lies outside.
int64_t IntegerOrZero(const std::string& text, int64_t low, int64_t high) {
    int64_t value = 0;
    if (!TSimValueEncoder::ParseInteger(text, value) || value < low || value > high)
        return 0;
    return value;
}

std::vector<uint8_t> EncodeText(const std::string& text, size_t width) {
    std::vector<uint8_t> bytes(width, ' ');
    std::copy_n(text.begin(), std::min(width, text.size()), bytes.begin());
    return bytes;
}

} // namespace

bool TSimValueEncoder::IsOptionList(const std::string& type) {
    return type.compare(0, 7, "SELECT_") == 0 || type.compare(0, 7, "BINARY_") == 0;
}

int TSimValueEncoder::Width(const std::string& type, int byteCount) {
    if (type == "INT16" || type == "UINT16")
        return 2;
    if (type == "INT32" || type == "UINT32" || type == "FLOAT")
        return 4;
    if (type == "ASCII16")
        return 16;
    if (type == "ASCII24")
        return 24;
    if (IsOptionList(type))
        return byteCount == 1 ? 1 : 2;
    return 0;
}

bool TSimValueEncoder::ParseInteger(const std::string& text, int64_t& value) {
    const std::string trimmed = Trimmed(text);
    if (trimmed.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(trimmed.c_str(), &end, 10);
    if (errno != 0 || *end != '\0')
        return false;
    value = parsed;
    return true;
}

double TSimValueEncoder::ParseDecimal(const std::string& text) {
    std::string normalised = Trimmed(text);
    std::replace(normalised.begin(), normalised.end(), ',', '.');
    if (normalised.empty())
        return 0;
    char* end = nullptr;
    const double value = std::strtod(normalised.c_str(), &end);
    return *end == '\0' ? value : 0;
}

std::vector<uint8_t> TSimValueEncoder::Encode(const std::string& type, const std::string& text,
                                              int byteCount) {
    std::vector<uint8_t> bytes;
    if (type == "INT16") {
        AppendBigEndian(bytes, static_cast<uint32_t>(IntegerOrZero(text, -32768, 32767)), 2);
    } else if (type == "UINT16") {
        AppendBigEndian(bytes, static_cast<uint32_t>(IntegerOrZero(text, 0, 65535)), 2);
    } else if (type == "INT32") {
        AppendBigEndian(bytes, static_cast<uint32_t>(IntegerOrZero(text, INT32_MIN, INT32_MAX)), 4);
    } else if (type == "UINT32") {
        AppendBigEndian(bytes, static_cast<uint32_t>(IntegerOrZero(text, 0, INT64_MAX)), 4);
    } else if (type == "FLOAT") {
        const float value = static_cast<float>(ParseDecimal(text));
        uint32_t raw = 0;
        std::memcpy(&raw, &value, sizeof raw);
        AppendBigEndian(bytes, raw, 4);
    } else if (type == "ASCII16" || type == "ASCII24") {
        bytes = EncodeText(text, static_cast<size_t>(Width(type, 0)));
    } else if (IsOptionList(type)) {
        if (byteCount == 1)
            bytes.push_back(static_cast<uint8_t>(IntegerOrZero(text, 0, 255)));
        else
            AppendBigEndian(bytes, static_cast<uint32_t>(IntegerOrZero(text, 0, 65535)), 2);
    }
    return bytes;
}
