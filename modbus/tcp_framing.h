#pragma once
// Modbus TCP framing: a 7-byte MBAP header in front of the PDU, no check field.

#include <cstdint>
#include <span>
#include <vector>

constexpr int kTcpHeaderLength = 9;
constexpr int kTcpEchoPosition = 7;
constexpr int kTcpCommandDelayMs = 0;
constexpr int kTcpMbapLength = 7;

// Transaction 0, protocol 0, length of unit + PDU, unit, PDU; empty when the PDU is empty.
std::vector<uint8_t> TcpFrame(uint8_t unit, std::span<const uint8_t> pdu);

// The PDU behind the MBAP header; empty for a frame without function code.
std::span<const uint8_t> TcpPdu(std::span<const uint8_t> frame);

// Bytes still to read after the first nine: the low byte of the length field minus the three
// bytes (unit, function, ninth byte) already read. Negative when the length field is below 3.
int TcpRemainingBytes(std::span<const uint8_t> header);
