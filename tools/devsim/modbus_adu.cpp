#include "modbus_adu.h"

namespace {

uint16_t Word(const uint8_t* bytes) {
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

} // namespace

TBusRequest TModbusAdu::Parse(const uint8_t* frame, int length, int headerLength) {
    TBusRequest request;
    const int h = headerLength;
    if (length < h + 1)
        return request;
    request.station = frame[h - 1];
    request.function = frame[h];
    if (length < h + 5) {
        request.malformed = true;
        return request;
    }
    request.address = Word(frame + h + 1);
    request.quantity = Word(frame + h + 3);
    if (request.function == 6) {
        request.values.push_back(request.quantity);
        request.quantity = 1;
    } else if (request.function == 16) {
        const int byteCount = length > h + 5 ? frame[h + 5] : -1;
        if (byteCount != 2 * request.quantity || length < h + 6 + byteCount) {
            request.malformed = true;
            return request;
        }
        for (int i = 0; i < request.quantity; ++i)
            request.values.push_back(Word(frame + h + 6 + 2 * i));
    }
    return request;
}

int TModbusAdu::RtuRequestLength(const uint8_t* frame, int available) {
    if (available < 2)
        return 0;
    switch (frame[1]) {
    case 3:
    case 6:
        return 8;
    case 16:
        return available >= 7 ? 9 + frame[6] : 0;
    default:
        return 0;
    }
}

uint16_t TModbusAdu::Crc16(const uint8_t* data, int length) {
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

bool TModbusAdu::RtuCheckFieldValid(const uint8_t* frame, int length) {
    if (length < 4)
        return false;
    const uint16_t crc = Crc16(frame, length - 2);
    return frame[length - 2] == (crc & 0xFF) && frame[length - 1] == (crc >> 8);
}
