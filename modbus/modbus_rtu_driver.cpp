#include "modbus/modbus_rtu_driver.h"

#include "modbus/rtu_framing.h"

TModBusRTUDriver::TModBusRTUDriver()
    : TModBusDriver(kRtuHeaderLength, kRtuEchoPosition, kRtuCommandDelayMs) {
    StartWorkers();
}

TModBusRTUDriver::TModBusRTUDriver(TDeferWorkers)
    : TModBusDriver(kRtuHeaderLength, kRtuEchoPosition, kRtuCommandDelayMs) {}

TModBusRTUDriver::~TModBusRTUDriver() {
    DestroyDriver();
}

BYTES TModBusRTUDriver::EncodeRequest(const TTagRec& tagRec, const TArrayOfDouble* values) {
    return RtuFrame(static_cast<uint8_t>(tagRec.PLCStation), EncodePdu(tagRec, values));
}

int32_t TModBusRTUDriver::RemainingBytes(std::span<const uint8_t> header) {
    return RtuRemainingBytes(header);
}

TProtocolIOResult TModBusRTUDriver::DecodeResponse(const TIOPacket& packet,
                                                   TArrayOfDouble& values) {
    values.clear();
    const BYTES& request = packet.WriteBuffer;
    const BYTES& response = packet.ReadBuffer;
    if (request.empty() || response.empty())
        return ioDriverError;
    TProtocolIOResult transfer = TransferResult(packet);
    if (transfer == ioOk && response[0] != request[0])
        transfer = ioCommError;
    // A corrupted frame leaves the cache alone.
    if (transfer == ioOk && (!RtuCheckFieldValid(request) || !RtuCheckFieldValid(response)))
        return ioCommError;
    return DecodePdu(transfer, request[0], RtuPdu(request), RtuPdu(response), rsReject, values);
}
