#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The registers of the last block or row read from (or being prepared for) the device, as a
// byte stream: offset 0 is the high byte of StartRegister.
struct TArrParaCache {
    static constexpr size_t DataSize = 1024;

    int32_t StartRegister = -1; // five-digit register number, -1 when empty
    int32_t RegisterCount = 0;
    int32_t access = 0;
    std::string TypeName;
    std::string block = "0";
    std::string byteofs = "0";
    std::array<uint8_t, DataSize> DataBytes{};

    bool HoldsData() const { return StartRegister >= 0; }

    // The bytes of the registers held (RegisterCount * 2 of them).
    std::span<const uint8_t> Stream() const;
    std::span<uint8_t> Stream();

    // Empty state: StartRegister -1, no registers, block and byteofs "0", all bytes 0.
    void Clear();

    // Puts the registers into the stream, high byte first; false (and nothing stored) when they
    // do not fit into DataBytes.
    bool StoreRegisters(int32_t startRegister, const std::vector<uint16_t>& registers);

    // The stream as registers again, for writing a prepared block.
    std::vector<uint16_t> Registers() const;
};
