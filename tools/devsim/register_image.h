#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// The holding registers of one simulated device, addressed by Modbus protocol address. Only
// mapped registers exist; every other address is one the device does not know.
class TRegisterImage {
public:
    void Map(uint16_t address, int count, bool writable);
    bool IsMapped(uint16_t address, int count) const;
    bool IsWritable(uint16_t address, int count) const;

    uint16_t Get(uint16_t address) const;
    // Sets a mapped register; an unmapped one is mapped read-only first.
    void Set(uint16_t address, uint16_t value);
    std::vector<uint16_t> Read(uint16_t address, int count) const;

    // Places bytes into the register stream that starts at address: byte 0 is the high byte of
    // that register.
    void PutBytes(uint16_t address, int byteOffset, const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> GetBytes(uint16_t address, int byteOffset, int count) const;

    void SetFloat(uint16_t address, float value);
    float GetFloat(uint16_t address) const;
    void SetUInt32(uint16_t address, uint32_t value);

private:
    struct TRegister {
        uint16_t value = 0;
        bool writable = false;
    };
    std::map<uint16_t, TRegister> registers;
};
