#include "modbus/modbus_rtu_driver.h"

#include "modbus/rtu_framing.h"

namespace {

TModbusPduRequest PduRequest(const TTagRec& tagRec, bool write) {
    return {write ? tagRec.MemWriteFunction : tagRec.MemReadFunction, tagRec.MemAddress,
            tagRec.WordCount, tagRec.WordOffset};
}

} // namespace

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
    if (tagRec.PLCStation < 0 || tagRec.PLCStation > 255)
        return {};
    const BYTES pdu = values ? EncodeWritePdu(PduRequest(tagRec, true), *values)
                             : EncodeReadPdu(PduRequest(tagRec, false));
    return RtuFrame(static_cast<uint8_t>(tagRec.PLCStation), pdu);
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
