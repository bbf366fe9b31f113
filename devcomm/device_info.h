#pragma once

#include <QString>
#include <cstdint>
#include <span>

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

void ClearDeviceInfo(TDeviceInfo& info);
// Variant and device type as four uppercase hexadecimal digits (register 3000): mb_node.devid.
QString DeviceTypeCode(const TDeviceInfo& info);
// The firmware version as four uppercase hexadecimal digits, compared with min/maxversion.
QString VersionText(const TDeviceInfo& info);
// Text registers, high byte before low byte; control bytes (below 32) are skipped.
QString TextFromRegisters(std::span<const uint16_t> registers);
