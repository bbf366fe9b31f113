#pragma once
// TModBusRTUDriver: the Modbus driver for the serial line. Every PDU travels behind the device
// address and ahead of the CRC-16 check field; a request to address 0 is a broadcast that gets
// no answer.

#include "modbus/modbus_driver.h"

class TModBusRTUDriver : public TModBusDriver {
public:
    TModBusRTUDriver();
    ~TModBusRTUDriver() override;

    bool SupportsBroadcast() const override { return true; }
    BYTES EncodeRequest(const TTagRec& tagRec, const TArrayOfDouble* values) override;
    // Besides the shared rules: address of answer and request must agree and both frames must
    // carry a valid check field. An answer with fewer registers than requested is rejected.
    TProtocolIOResult DecodeResponse(const TIOPacket& packet, TArrayOfDouble& values) override;
    int32_t RemainingBytes(std::span<const uint8_t> header) override;

protected:
    // For a further derived class, which then starts the worker threads itself as the last step
    // of its constructor and calls DestroyDriver() first in its destructor, so that the threads
    // never see a half-built or half-destroyed object.
    explicit TModBusRTUDriver(TDeferWorkers);
};
