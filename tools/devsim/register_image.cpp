#include "register_image.h"

#include <cstring>

void TRegisterImage::Map(uint16_t address, int count, bool writable) {
    for (int i = 0; i < count; ++i) {
        TRegister& reg = registers[static_cast<uint16_t>(address + i)];
        reg.writable = reg.writable || writable;
    }
}

bool TRegisterImage::IsMapped(uint16_t address, int count) const {
    for (int i = 0; i < count; ++i)
        if (address + i > 0xFFFF || !registers.contains(static_cast<uint16_t>(address + i)))
            return false;
    return true;
}

bool TRegisterImage::IsWritable(uint16_t address, int count) const {
    for (int i = 0; i < count; ++i) {
        const auto it = registers.find(static_cast<uint16_t>(address + i));
        if (address + i > 0xFFFF || it == registers.end() || !it->second.writable)
            return false;
    }
    return true;
}

uint16_t TRegisterImage::Get(uint16_t address) const {
    const auto it = registers.find(address);
    return it == registers.end() ? 0 : it->second.value;
}

void TRegisterImage::Set(uint16_t address, uint16_t value) {
    registers[address].value = value;
}

std::vector<uint16_t> TRegisterImage::Read(uint16_t address, int count) const {
    std::vector<uint16_t> values;
    for (int i = 0; i < count; ++i)
        values.push_back(Get(static_cast<uint16_t>(address + i)));
    return values;
}

void TRegisterImage::PutBytes(uint16_t address, int byteOffset, const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int position = byteOffset + static_cast<int>(i);
        const auto reg = static_cast<uint16_t>(address + position / 2);
        const uint16_t old = Get(reg);
        Set(reg, position % 2 == 0 ? static_cast<uint16_t>((bytes[i] << 8) | (old & 0x00FF))
                                   : static_cast<uint16_t>((old & 0xFF00) | bytes[i]));
    }
}

std::vector<uint8_t> TRegisterImage::GetBytes(uint16_t address, int byteOffset, int count) const {
    std::vector<uint8_t> bytes;
    for (int position = byteOffset; position < byteOffset + count; ++position) {
        const uint16_t value = Get(static_cast<uint16_t>(address + position / 2));
        bytes.push_back(static_cast<uint8_t>(position % 2 == 0 ? value >> 8 : value & 0xFF));
    }
    return bytes;
}

void TRegisterImage::SetFloat(uint16_t address, float value) {
    uint32_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    SetUInt32(address, raw);
}

float TRegisterImage::GetFloat(uint16_t address) const {
    const uint32_t raw =
        (static_cast<uint32_t>(Get(address)) << 16) | Get(static_cast<uint16_t>(address + 1));
    float value = 0;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

void TRegisterImage::SetUInt32(uint16_t address, uint32_t value) {
    Set(address, static_cast<uint16_t>(value >> 16));
    Set(static_cast<uint16_t>(address + 1), static_cast<uint16_t>(value & 0xFFFF));
}
