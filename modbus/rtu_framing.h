#pragma once
// Modbus RTU framing: device address in front of the PDU, CRC-16 check field behind it.

#include <cstdint>
#include <span>
#include <vector>

constexpr int kRtuHeaderLength = 3;
constexpr int kRtuEchoPosition = 1;
constexpr int kRtuCommandDelayMs = 5;
constexpr int kRtuCheckLength = 2;

// CRC-16 of the serial line (initial value FFFF, reflected polynomial A001).
uint16_t ModbusCrc16(std::span<const uint8_t> bytes);

// Address byte + PDU + check field; empty when the PDU is empty.
std::vector<uint8_t> RtuFrame(uint8_t station, std::span<const uint8_t> pdu);

// True when the last two bytes are the CRC of the bytes before them, low byte first.
bool RtuCheckFieldValid(std::span<const uint8_t> frame);

// The PDU inside a frame (between address byte and check field); empty for a frame too short.
std::span<const uint8_t> RtuPdu(std::span<const uint8_t> frame);

// How many bytes of a response are still to come after its first three.
int RtuRemainingBytes(std::span<const uint8_t> header);
