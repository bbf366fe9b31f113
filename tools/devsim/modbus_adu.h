#pragma once

#include "simulated_bus.h"

#include <cstdint>

// Takes a request out of a received frame. headerLength is the number of bytes before the
// function code (1 on RTU: the station; 7 on TCP: the MBAP header whose last byte is the unit).
class TModbusAdu {
public:
    static TBusRequest Parse(const uint8_t* frame, int length, int headerLength);
    // Length of an RTU request frame with its check field from its first bytes, 0 when the
    // function is not one the simulator serves (3, 6, 16) or the bytes are too few.
    static int RtuRequestLength(const uint8_t* frame, int available);
    // The RTU check field: CRC-16 with polynomial 0xA001, low byte sent first.
    static uint16_t Crc16(const uint8_t* data, int length);
    static bool RtuCheckFieldValid(const uint8_t* frame, int length);
};
