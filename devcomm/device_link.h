#pragma once

#include "modbus/protocol_types.h"

#include <QString>
#include <cstdint>
#include <vector>

// What the device passes need of the connection: open and close it around a command, and run
// synchronous block reads and writes at a station. TDeviceConnection implements it over the
// stack's identification block; tests give it scripted devices. Used on the user-interface
// thread only; every call returns when the device has answered or the time-out has passed.
class TDeviceLink {
public:
    virtual ~TDeviceLink() = default;

    // True when the port of the chosen way is open (opening it when needed).
    virtual bool OpenConnection() = 0;
    virtual void CloseConnection() = 0;
    // The station of the current settings (the address, or 68 for the service interface).
    virtual int Station() const = 0;
    // Reads count holding registers from protocol address memAddress (function 3).
    virtual TProtocolIOResult ReadBlock(int station, int memAddress, int count,
                                        std::vector<uint16_t>& registers) = 0;
    // Writes the registers from protocol address memAddress with function 6 or 16.
    virtual TProtocolIOResult WriteBlock(int station, int function, int memAddress,
                                         const std::vector<uint16_t>& registers) = 0;
    // The name of the driver in use, for the service-mode error messages.
    virtual QString DriverName() const = 0;
    // Forgets the attachment after a failed request, so the next open attaches afresh.
    virtual void Detach() = 0;
    // The station address of RTU and TCP (the service interface keeps station 68).
    virtual void SetAddress(int address) = 0;
    // Gives port and device time to settle (after a device changed its address).
    virtual void Settle() {}
};
