#pragma once
// TModBusTCPDriver: the Modbus driver for Modbus TCP. Every PDU travels behind a 7-byte MBAP
// header with transaction identifier 0; there is no check field and no broadcast.

#include "modbus/modbus_driver.h"

class TModBusTCPDriver : public TModBusDriver {
public:
    TModBusTCPDriver();
    ~TModBusTCPDriver() override;

    BYTES EncodeRequest(const TTagRec& tagRec, const TArrayOfDouble* values) override;
    // Besides the shared rules only the unit identifier is compared; registers missing at the
    // end of a short answer read as 0.
    TProtocolIOResult DecodeResponse(const TIOPacket& packet, TArrayOfDouble& values) override;
    int32_t RemainingBytes(std::span<const uint8_t> header) override;

protected:
    // For a further derived class, which then starts the worker threads itself as the last step
    // of its constructor and calls DestroyDriver() first in its destructor, so that the threads
    // never see a half-built or half-destroyed object.
    explicit TModBusTCPDriver(TDeferWorkers);
};
