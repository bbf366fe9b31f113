#include "devcomm/device_info.h"

namespace {

QString Hex4(unsigned value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

void AppendTextByte(QString& text, uint8_t byte) {
    if (byte >= 32)
        text += QChar::fromLatin1(static_cast<char>(byte));
}

} // namespace

void ClearDeviceInfo(TDeviceInfo& info) {
    info = TDeviceInfo{};
}

QString DeviceTypeCode(const TDeviceInfo& info) {
    return Hex4(static_cast<unsigned>(info.Variant) << 8 | info.DeviceType);
}

QString VersionText(const TDeviceInfo& info) {
    return Hex4(info.SoftwareVersion);
}

QString TextFromRegisters(std::span<const uint16_t> registers) {
    QString text;
    for (uint16_t value : registers) {
        AppendTextByte(text, static_cast<uint8_t>(value >> 8));
        AppendTextByte(text, static_cast<uint8_t>(value & 0xFF));
    }
    return text;
}
