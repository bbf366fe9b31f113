#pragma once

#include "params/arr_result.h"

#include <cstdint>
#include <span>
#include <string_view>

// The type table: how a parameter's value lies in the byte stream of its registers (register
// order, each register's high byte first) and how value texts become those bytes again.

enum TParamType {
    ptUnknown,
    ptINT16,
    ptUINT16,
    ptINT32,
    ptUINT32,
    ptFLOAT,
    ptASCII16,
    ptASCII24,
    ptSELECT, // "SELECT_" + list title: one option value of the list
    ptBINARY  // "BINARY_" + list title: a bit set of the list's option values
};

// The type named by a type column (surrounding blanks ignored; names are case-sensitive).
TParamType ParamTypeOf(std::string_view typeName);

bool IsOptionListType(TParamType type);

// Stream bytes that decoding reads; for the option-list types the row's byte count selects the
// one-byte form (count 1) or the two-byte form (any other count).
int TypeWidth(TParamType type, int byteCount);

// Decodes the value at offset into result (IntValue, UIntValue or FloatValue and Text as an
// SQL literal). A value that does not lie wholly inside the stream gives Status -1 and "Error"
// and returns false. Types outside the table decode to "''" and never fail.
bool DecodeStreamValue(std::string_view typeName, std::span<const uint8_t> stream, int offset,
                       int byteCount, TArrResult& result);

// Writes the encoded bytes of the value text to the start of destination and returns how many
// were written: 0 for types without an encoding, and 0 (nothing written) when destination is
// shorter than the type's width.
int EncodeParameterValue(std::string_view typeName, std::string_view valueText, int byteCount,
                         std::span<uint8_t> destination);
