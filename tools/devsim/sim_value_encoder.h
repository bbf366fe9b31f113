#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Encodes a parameter value text into the bytes a device holds for it, by the row's type: the
// simulated devices hold their factory values exactly as a configured device would. Multi-byte
// values are stored most significant byte first; option lists take one byte when the row has
// a byte count of 1.
class TSimValueEncoder {
public:
    // Number of stream bytes the type occupies; 0 for types the devices do not encode.
    static int Width(const std::string& type, int byteCount);
    static std::vector<uint8_t> Encode(const std::string& type, const std::string& text,
                                       int byteCount);
    static bool IsOptionList(const std::string& type);

    // Integer conversions of value texts: false when the whole text is no integer.
    static bool ParseInteger(const std::string& text, int64_t& value);
    // Decimal text with a point or a comma; 0 when the text is no number.
    static double ParseDecimal(const std::string& text);
};
