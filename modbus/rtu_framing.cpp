#include "modbus/rtu_framing.h"

#include "modbus/modbus_pdu.h"

// Bytes still to read after the 3-byte header: check field only, or data plus check field.
constexpr int kUnknownLength = 255;

uint16_t ModbusCrc16(std::span<const uint8_t> bytes) {
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

std::vector<uint8_t> RtuFrame(uint8_t station, std::span<const uint8_t> pdu) {
    if (pdu.empty())
        return {};
    std::vector<uint8_t> frame{station};
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    const uint16_t crc = ModbusCrc16(frame);
    // The low order byte of the CRC comes first on the line.
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

bool RtuCheckFieldValid(std::span<const uint8_t> frame) {
    if (frame.size() < kRtuCheckLength + 1)
        return false;
    const size_t body = frame.size() - kRtuCheckLength;
    const uint16_t crc = ModbusCrc16(frame.first(body));
    return frame[body] == (crc & 0xFF) && frame[body + 1] == (crc >> 8);
}

std::span<const uint8_t> RtuPdu(std::span<const uint8_t> frame) {
    if (frame.size() < 1 + kRtuCheckLength + 1)
        return {};
    return frame.subspan(1, frame.size() - 1 - kRtuCheckLength);
}

int RtuRemainingBytes(std::span<const uint8_t> header) {
    if (header.size() < kRtuHeaderLength)
        return kUnknownLength;
    const uint8_t function = header[1];
    if (function & kModbusExceptionFlag)
        return kRtuCheckLength; // the third byte was the exception code
    switch (function) {
    case mfReadCoils:
    case mfReadDiscreteInputs:
    case mfReadHoldingRegisters:
    case mfReadInputRegisters:
        return header[2] + kRtuCheckLength; // the third byte is the byte count
    case mfWriteSingleCoil:
    case mfWriteSingleRegister:
    case mfWriteMultipleCoils:
    case mfWriteMultipleRegisters:
        return 5; // these answers are 8 bytes long
    case mfReadExceptionStatus:
        return kRtuCheckLength; // the third byte was the status byte
    default:
        return kUnknownLength;
    }
}
