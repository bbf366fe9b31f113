#pragma once

#include <QString>

// The communication settings: how the program reaches a device. Protocol 0 is the device's
// service interface, 1 Modbus RTU, 2 Modbus TCP; BaudRate and Parity are indices into the rate
// and framing lists of the settings dialog; Timeout is in milliseconds.
struct TModbusSetting {
    int Protocol = 0;
    QString Host;
    int Port = 502;
    QString COMPort;
    int BaudRate = 6;
    int Parity = 0;
    int Timeout = 300;
    int Address = 1;

    bool operator==(const TModbusSetting&) const = default;
};
