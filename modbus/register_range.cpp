#include "modbus/register_range.h"

#include <algorithm>
#include <stdexcept>

TRegisterRange::TRegisterRange(int32_t addressStart, int32_t addressEnd)
    : FAddressStart(addressStart), FAddressEnd(addressEnd), FLastUpdate(Now()) {
    if (addressStart < 0 || addressEnd < 0)
        throw std::invalid_argument("The addresses of a register range must not be negative!");
    if (addressEnd < addressStart)
        throw std::invalid_argument("A register range must not end before its start!");
    FValues.assign(static_cast<size_t>(Size()), 0.0);
}

void TRegisterRange::SetReadSuccess(uint32_t value) {
    FReadSuccess = std::max(FReadSuccess, value);
}

void TRegisterRange::SetReadFaults(uint32_t value) {
    FReadFaults = std::max(FReadFaults, value);
}

void TRegisterRange::CheckIndex(int32_t index) const {
    if (index < 0 || index >= Size())
        throw std::out_of_range("Out of bounds!");
}

double TRegisterRange::Value(int32_t index) const {
    CheckIndex(index);
    return FValues[static_cast<size_t>(index)];
}

void TRegisterRange::SetValue(int32_t index, double value) {
    CheckIndex(index);
    FValues[static_cast<size_t>(index)] = value;
}

bool TRegisterRange::NeedsRefresh() const {
    return MilisecondsFromLastUpdate() >= static_cast<int64_t>(FScanTime);
}
