#include "modbus/tcp_framing.h"

std::vector<uint8_t> TcpFrame(uint8_t unit, std::span<const uint8_t> pdu) {
    if (pdu.empty())
        return {};
    const size_t length = pdu.size() + 1;
    std::vector<uint8_t> frame{
        0, 0, 0, 0, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length & 0xFF), unit};
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    return frame;
}

std::span<const uint8_t> TcpPdu(std::span<const uint8_t> frame) {
    if (frame.size() <= kTcpMbapLength)
        return {};
    return frame.subspan(kTcpMbapLength);
}

int TcpRemainingBytes(std::span<const uint8_t> header) {
    if (header.size() < kTcpHeaderLength)
        return 0;
    // Modbus PDUs keep the length below 256, so the high byte of the field is not needed.
    return header[5] - 3;
}
