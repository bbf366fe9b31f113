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
};
