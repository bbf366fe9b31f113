#include "devcomm/identify_device.h"

#include <span>

namespace {

bool ReadFixed(TDeviceContext& context, int memAddress, int count,
               std::vector<uint16_t>& registers) {
    const TProtocolIOResult result =
        context.Link.ReadBlock(context.Link.Station(), memAddress, count, registers);
    return CheckReadResult(context, result) == ioOk &&
           registers.size() == static_cast<size_t>(count);
}

std::span<const uint16_t> Part(const std::vector<uint16_t>& registers, size_t first, size_t count) {
    return std::span<const uint16_t>(registers).subspan(first, count);
}

} // namespace

bool IdentifyDevice(TDeviceContext& context, TDeviceInfo& info) {
    if (!context.Link.OpenConnection())
        return false;
    ClearDeviceInfo(info);
    std::vector<uint16_t> r;
    if (!ReadFixed(context, 3000, 12, r))
        return false;
    info.DeviceType = static_cast<uint8_t>(r[0] & 0xFF);
    info.Variant = static_cast<uint8_t>(r[0] >> 8);
    info.Oem = static_cast<uint8_t>(r[1] >> 8);
    info.HardwareVersion = static_cast<char>(r[1] & 0xFF);
    info.Rfid = TextFromRegisters(Part(r, 2, 10));

    info.SoftwareVersion = 0;
    info.ParameterSet = 1;
    if (!ReadFixed(context, 3028, 22, r))
        return false;
    info.SoftwareVersion = r[0];
    info.Maker = TextFromRegisters(Part(r, 2, 8));
    info.DeviceName = TextFromRegisters(Part(r, 10, 12));

    if (!ReadFixed(context, 102, 1, r))
        return false;
    info.ParameterSet = static_cast<uint8_t>(r[0] & 0xFF);
    if (!ReadFixed(context, 5009, 1, r))
        return false;
    info.Address = static_cast<uint8_t>(r[0] & 0xFF);
    if (!ReadFixed(context, 5150, 8, r))
        return false;
    info.MeasuringPoint = TextFromRegisters(r);
    return true;
}
