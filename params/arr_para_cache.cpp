#include "params/arr_para_cache.h"

#include <algorithm>

std::span<const uint8_t> TArrParaCache::Stream() const {
    const size_t count =
        std::clamp<size_t>(static_cast<size_t>(std::max(RegisterCount, 0)) * 2, 0, DataSize);
    return std::span<const uint8_t>(DataBytes).first(count);
}

std::span<uint8_t> TArrParaCache::Stream() {
    const size_t count =
        std::clamp<size_t>(static_cast<size_t>(std::max(RegisterCount, 0)) * 2, 0, DataSize);
    return std::span<uint8_t>(DataBytes).first(count);
}

void TArrParaCache::Clear() {
    *this = TArrParaCache();
}

bool TArrParaCache::StoreRegisters(int32_t startRegister, const std::vector<uint16_t>& registers) {
    if (registers.size() * 2 > DataSize)
        return false;
    DataBytes.fill(0);
    for (size_t i = 0; i < registers.size(); ++i) {
        DataBytes[2 * i] = static_cast<uint8_t>(registers[i] >> 8);
        DataBytes[2 * i + 1] = static_cast<uint8_t>(registers[i] & 0xFF);
    }
    StartRegister = startRegister;
    RegisterCount = static_cast<int32_t>(registers.size());
    return true;
}

std::vector<uint16_t> TArrParaCache::Registers() const {
    const auto bytes = Stream();
    std::vector<uint16_t> registers(bytes.size() / 2);
    for (size_t i = 0; i < registers.size(); ++i)
        registers[i] = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    return registers;
}
