#pragma once

#include <QString>
#include <cstdint>

// The identification record of the last identified device: what the identification pass reads
// from the device's fixed registers. Empty until a device has been identified.
struct TDeviceInfo {
    uint8_t DeviceType = 0;
    uint8_t Variant = 0;
    uint8_t Oem = 0;
    char HardwareVersion = ' ';
    uint16_t SoftwareVersion = 0;
    uint8_t ParameterSet = 0;
    uint8_t Address = 0;
    QString Rfid;
    QString Maker;
    QString DeviceName;
    QString MeasuringPoint;
};

// The service-mode device-information message: one field per line, lines joined by CR LF.
QString DeviceInfoMessage(const TDeviceInfo& info);
