// Translation between the raw protocol words of a tag and its typed elements: a byte image of the
// words in the protocol's own type is read as elements of the tag's type, with the tag's byte,
// word and double-word swaps, and written back the same way.
#pragma once

#include "modbus/protocol_types.h"

#include <cstdint>

struct TTagLayout {
    TTagType TagType = pttDefault;
    TTagType ProtocolTagType = pttDefault;
    uint8_t ElementBits = 1;
    uint8_t WordBits = 1;
    bool SwapBytes = false;
    bool SwapWords = false;
    bool SwapDWords = false;

    // The words pass through unchanged when the tag keeps the protocol's own type.
    bool Converts() const { return TagType != pttDefault && TagType != ProtocolTagType; }
};

// Protocol words covered by `count` elements from element `offset`.
struct TWordSpan {
    int32_t WordOffset = 0;
    int32_t WordCount = 0;
};
TWordSpan WordSpanOf(const TTagLayout& layout, int64_t count, int64_t offset);

// Index of the first raw word that a result for element `offset` refers to.
int64_t FirstWordOf(const TTagLayout& layout, int64_t offset);

// Elements decoded from `words`, the words that begin with the one holding element `offset`.
TArrayOfDouble RawToTagValues(const TTagLayout& layout, const TArrayOfDouble& words,
                              int32_t offset);

// The protocol words that `values` (elements from `offset` on) cover, with the parts of those
// words that the values do not touch taken from `rawValues`, the words last transferred.
TArrayOfDouble TagToRawValues(const TTagLayout& layout, const TArrayOfDouble& rawValues,
                              const TArrayOfDouble& values, int32_t offset);
