#pragma once

#include "params/arr_para_cache.h"
#include "params/arr_result.h"
#include "params/parameter_row.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Where the bytes of a row come from. The read pass connects it to the device's register block;
// tests give it registers of their own.
class TRegisterSource {
public:
    virtual ~TRegisterSource() = default;
    // Reads count holding registers from the five-digit register number startRegister into
    // registers; false when the device did not deliver them.
    virtual bool ReadRegisters(int startRegister, int count, std::vector<uint16_t>& registers) = 0;
};

// The registers that hold a row: its own (modreg, regcnt) or its whole block.
struct TRegisterSpan {
    int StartRegister = 0;
    int Count = 0;
};

// A row's place in the byte stream of its registers.
struct TStreamPlace {
    int Offset = 0;
    int ByteCount = 0;
};

// The highest register count a read or a cache holds.
constexpr int MaxSpanRegisters = static_cast<int>(TArrParaCache::DataSize / 2);

// "a:b" with two integers; nothing when a part is missing or is no integer.
std::optional<std::pair<int, int>> SplitNumberPair(std::string_view text);

// A row whose block column is not "0" lies in a register block.
bool IsBlockRow(const TParameterRow& row);

// The registers to read for the row; nothing for a malformed block or a span that no device
// address or no cache can hold.
std::optional<TRegisterSpan> RegisterSpanOf(const TParameterRow& row);

// The row's offset and byte count: from byteofs for a block row, else 0 and regcnt * 2;
// nothing for a malformed byteofs.
std::optional<TStreamPlace> StreamPlaceOf(const TParameterRow& row);

// True when the cache already holds the row's registers (same block, or same own registers).
bool CacheHoldsRow(const TArrParaCache& cache, const TParameterRow& row);

// Two hexadecimal digits and a blank per byte.
std::string HexDump(std::span<const uint8_t> bytes);

// Decodes the row from the cache, reading its registers or block through source first when
// the cache does not hold them. Failures give Status -1 and "Error" and empty the cache, except
// a value lying beyond the registers read, which leaves the (valid) cache as it is.
TArrResult DecodeParameter(const TParameterRow& row, TArrParaCache& cache, TRegisterSource& source);
