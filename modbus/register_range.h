// One contiguous block of device addresses that the driver reads in one request, with the cached
// value of every address in it. Not thread-safe: the owning driver guards it with its IoLock.
#pragma once

#include "modbus/protocol_types.h"

#include <cstdint>

class TRegisterRange {
public:
    // Both addresses must be >= 0 and start <= end.
    TRegisterRange(int32_t addressStart, int32_t addressEnd);

    int32_t AddressStart() const { return FAddressStart; }
    int32_t AddressEnd() const { return FAddressEnd; }
    int32_t Size() const { return FAddressEnd - FAddressStart + 1; }

    TDateTime LastUpdate() const { return FLastUpdate; }
    void SetLastUpdate(TDateTime value) { FLastUpdate = value; }
    int64_t MilisecondsFromLastUpdate() const { return MillisecondsBetween(FLastUpdate, Now()); }

    uint32_t ScanTime() const { return FScanTime; }
    void SetScanTime(uint32_t value) { FScanTime = value; }

    // The statistics only grow: a setter keeps the larger of the old and the new value.
    uint32_t ReadSuccess() const { return FReadSuccess; }
    void SetReadSuccess(uint32_t value);
    uint32_t ReadFaults() const { return FReadFaults; }
    void SetReadFaults(uint32_t value);

    TProtocolIOResult LastOutcome() const { return FLastOutcome; }
    void SetLastOutcome(TProtocolIOResult value) { FLastOutcome = value; }

    const TArrayOfDouble& Values() const { return FValues; }
    double Value(int32_t index) const;
    void SetValue(int32_t index, double value);

    void MarkUpdated() { FLastUpdate = Now(); }
    bool NeedsRefresh() const;

private:
    void CheckIndex(int32_t index) const;

    int32_t FAddressStart;
    int32_t FAddressEnd;
    TDateTime FLastUpdate;
    uint32_t FScanTime = 0;
    uint32_t FReadSuccess = 0;
    uint32_t FReadFaults = 0;
    TProtocolIOResult FLastOutcome = ioNone;
    TArrayOfDouble FValues;
};
