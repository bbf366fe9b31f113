#include "params/decode_parameter.h"

#include "params/decimal_text.h"
#include "params/parameter_codec.h"
#include "params/text_util.h"

#include <limits>

namespace {

constexpr int FirstRegister = 40001;
constexpr int RegisterSpace = 65536;

bool FitsInt(int64_t value) {
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

// Registers that a device address can name and a cache can hold.
bool UsableSpan(int start, int count) {
    const int64_t address = static_cast<int64_t>(start) - FirstRegister;
    return count >= 1 && count <= MaxSpanRegisters && address >= 0 &&
           address + count <= RegisterSpace;
}

bool ReadIntoCache(const TParameterRow& row, TArrParaCache& cache, TRegisterSource& source) {
    const auto span = RegisterSpanOf(row);
    if (!span)
        return false;
    std::vector<uint16_t> registers;
    if (!source.ReadRegisters(span->StartRegister, span->Count, registers) ||
        registers.size() != static_cast<size_t>(span->Count) ||
        !cache.StoreRegisters(span->StartRegister, registers))
        return false;
    cache.access = row.access;
    cache.TypeName = row.type;
    cache.block = row.block;
    cache.byteofs = row.byteofs;
    return true;
}

} // namespace

std::optional<std::pair<int, int>> SplitNumberPair(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto first = ParseIntegerText(text.substr(0, colon));
    const auto second = ParseIntegerText(text.substr(colon + 1));
    if (!first || !second || !FitsInt(*first) || !FitsInt(*second))
        return std::nullopt;
    return std::pair<int, int>(static_cast<int>(*first), static_cast<int>(*second));
}

bool IsBlockRow(const TParameterRow& row) {
    return TrimText(row.block) != "0";
}

std::optional<TRegisterSpan> RegisterSpanOf(const TParameterRow& row) {
    TRegisterSpan span{row.modreg, row.regcnt};
    if (IsBlockRow(row)) {
        const auto block = SplitNumberPair(row.block);
        if (!block || block->second < 1)
            return std::nullopt;
        span = {block->first, static_cast<int>((static_cast<int64_t>(block->second) + 1) / 2)};
    }
    if (!UsableSpan(span.StartRegister, span.Count))
        return std::nullopt;
    return span;
}

std::optional<TStreamPlace> StreamPlaceOf(const TParameterRow& row) {
    if (!IsBlockRow(row)) {
        const int64_t bytes = static_cast<int64_t>(row.regcnt) * 2;
        if (!FitsInt(bytes))
            return std::nullopt;
        return TStreamPlace{0, static_cast<int>(bytes)};
    }
    const auto place = SplitNumberPair(row.byteofs);
    if (!place)
        return std::nullopt;
    return TStreamPlace{place->first, place->second};
}

bool CacheHoldsRow(const TArrParaCache& cache, const TParameterRow& row) {
    if (!cache.HoldsData())
        return false;
    if (IsBlockRow(row))
        return row.block == cache.block;
    return cache.StartRegister == row.modreg && cache.RegisterCount == row.regcnt;
}

std::string HexDump(std::span<const uint8_t> bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string dump;
    dump.reserve(bytes.size() * 3);
    for (uint8_t byte : bytes) {
        dump += digits[byte >> 4];
        dump += digits[byte & 0x0F];
        dump += ' ';
    }
    return dump;
}

TArrResult DecodeParameter(const TParameterRow& row, TArrParaCache& cache,
                           TRegisterSource& source) {
    TArrResult result = StartResult(row.type);
    if (!CacheHoldsRow(cache, row)) {
        if (!ReadIntoCache(row, cache, source)) {
            cache.Clear();
            SetResultError(result);
            return result;
        }
        result.Dump = HexDump(cache.Stream());
    }
    const auto place = StreamPlaceOf(row);
    if (!place) {
        cache.Clear();
        SetResultError(result);
        return result;
    }
    DecodeStreamValue(row.type, cache.Stream(), place->Offset, place->ByteCount, result);
    return result;
}
