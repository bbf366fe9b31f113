#include "modbus/modbus_tcp_driver.h"

#include "modbus/tcp_framing.h"

TModBusTCPDriver::TModBusTCPDriver()
    : TModBusDriver(kTcpHeaderLength, kTcpEchoPosition, kTcpCommandDelayMs) {
    StartWorkers();
}

TModBusTCPDriver::TModBusTCPDriver(TDeferWorkers)
    : TModBusDriver(kTcpHeaderLength, kTcpEchoPosition, kTcpCommandDelayMs) {}

TModBusTCPDriver::~TModBusTCPDriver() {
    DestroyDriver();
}

BYTES TModBusTCPDriver::EncodeRequest(const TTagRec& tagRec, const TArrayOfDouble* values) {
    return TcpFrame(static_cast<uint8_t>(tagRec.PLCStation), EncodePdu(tagRec, values));
}

int32_t TModBusTCPDriver::RemainingBytes(std::span<const uint8_t> header) {
    return TcpRemainingBytes(header);
}

TProtocolIOResult TModBusTCPDriver::DecodeResponse(const TIOPacket& packet,
                                                   TArrayOfDouble& values) {
    values.clear();
    const BYTES& request = packet.WriteBuffer;
    const BYTES& response = packet.ReadBuffer;
    if (request.size() <= kTcpEchoPosition)
        return ioDriverError;
    TProtocolIOResult transfer = TransferResult(packet);
    const size_t unit = kTcpEchoPosition - 1;
    if (transfer == ioOk && (response.size() <= unit || response[unit] != request[unit]))
        transfer = ioCommError;
    return DecodePdu(transfer, request[kTcpEchoPosition - 1], TcpPdu(request), TcpPdu(response),
                     rsZeroFill, values);
}
