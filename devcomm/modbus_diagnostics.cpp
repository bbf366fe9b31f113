#include "devcomm/modbus_diagnostics.h"

#include "devcomm/identify_device.h"

#include <algorithm>

namespace {

constexpr std::array<uint16_t, 6> BusDiagnosticTypes = {0x0106, 0x0008, 0x000D,
                                                        0x0006, 0x0007, 0x0009};

QString Joined(const QString& parity, const QString& stopbits) {
    return parity + QStringLiteral(", ") + stopbits;
}

} // namespace

bool HasBusDiagnostics(uint16_t typeCode) {
    return std::find(BusDiagnosticTypes.begin(), BusDiagnosticTypes.end(), typeCode) !=
           BusDiagnosticTypes.end();
}

QString BaudRateText(int index) {
    // Index 6 is the device's default rate, so every unknown index reads as 19200.
    switch (index) {
    case 0:
        return QStringLiteral("300 ");
    case 1:
        return QStringLiteral("600 ");
    case 2:
        return QStringLiteral("1200 ");
    case 3:
        return QStringLiteral("2400 ");
    case 4:
        return QStringLiteral("4800 ");
    case 5:
        return QStringLiteral("9600 ");
    case 7:
        return QStringLiteral("38400 ");
    case 8:
        return QStringLiteral("57600 ");
    case 9:
        return QStringLiteral("115200 ");
    default:
        return QStringLiteral("19200 ");
    }
}

QString FramingText(int index, const TModbusDiagTexts& texts) {
    switch (index) {
    case 1:
        return Joined(texts.ParityOdd, texts.Stopbits1);
    case 2:
        return Joined(texts.ParityNone, texts.Stopbits2);
    case 3:
        return Joined(texts.ParityNone, texts.Stopbits1);
    default:
        return Joined(texts.ParityEven, texts.Stopbits1);
    }
}

QString BusSettingsText(const std::vector<uint16_t>& registers, const TModbusDiagTexts& texts) {
    if (registers.size() < static_cast<size_t>(BusSettingsCount))
        return texts.Error;
    return texts.Address + QStringLiteral(" ") + QString::number(registers[0]) +
           QStringLiteral(", ") + BaudRateText(registers[1]) + texts.Baud + QStringLiteral(", ") +
           FramingText(registers[2], texts) + QStringLiteral(", ") + texts.ResponseDelay +
           QStringLiteral(" ") + QString::number(registers[3]) + QStringLiteral(" ms");
}

std::optional<TBusCounters> DecodeBusCounters(const std::vector<uint16_t>& registers) {
    if (registers.size() < static_cast<size_t>(BusCountersCount))
        return std::nullopt;
    TBusCounters counters;
    counters.Telegrams = registers[0];
    counters.TotalTelegrams = registers[1];
    counters.Errors = registers[2];
    for (int w = 0; w < 16; ++w)
        for (int b = 0; b < 16; ++b)
            counters.Seen[static_cast<size_t>(16 * w + b)] = (registers[3 + w] >> b & 1) != 0;
    return counters;
}

TBusDiagStart TModbusDiagnostics::Start() {
    Step_ = 0;
    Failing_ = false;
    if (!IdentifyDevice(Context_, Info_)) {
        Context_.Messages.ShowMessage(Texts_.NoDeviceFound);
        return bdNoDevice;
    }
    if (!HasBusDiagnostics(static_cast<uint16_t>(Info_.Variant << 8 | Info_.DeviceType))) {
        Context_.Messages.ShowMessage(Texts_.NotAvailable);
        return bdNotAvailable;
    }
    return bdStarted;
}

QString TModbusDiagnostics::ReadSettings() {
    std::vector<uint16_t> registers;
    if (!ReadChecked(BusSettingsRegister, BusSettingsCount, registers))
        return Texts_.Error;
    return BusSettingsText(registers, Texts_);
}

bool TModbusDiagnostics::ReadChecked(int memAddress, int count, std::vector<uint16_t>& registers) {
    TDeviceLink& link = Context_.Link;
    TProtocolIOResult result = ioTimeOut;
    if (link.OpenConnection())
        result = link.ReadBlock(link.Station(), memAddress, count, registers);
    if (result == ioOk && registers.size() == static_cast<size_t>(count)) {
        Failing_ = false;
        return true;
    }
    // One message per failure streak; the link is still detached every time so that the next
    // request attaches afresh.
    if (!Failing_)
        CheckReadResult(Context_, result == ioOk ? ioEmptyPacket : result);
    else if (Context_.ServiceMode)
        link.Detach();
    Failing_ = true;
    return false;
}

TBusTick TModbusDiagnostics::Tick() {
    TBusTick tick;
    tick.NextIntervalMs = IntervalMs;
    switch (Step_) {
    case 0: {
        // Clears the device's counters once per showing; a device that refuses is still read.
        TDeviceLink& link = Context_.Link;
        if (link.OpenConnection())
            link.WriteBlock(link.Station(), Context_.LastWriteFunction, CounterResetRegister, {0});
        Step_ = 1;
        break;
    }
    case 1: {
        Step_ = 2;
        tick.ShowRefresh = true;
        tick.Read = true;
        std::vector<uint16_t> registers;
        if (ReadChecked(BusCountersRegister, BusCountersCount, registers))
            tick.Counters = DecodeBusCounters(registers);
        break;
    }
    case 3:
        Step_ = 4;
        tick.HideRefresh = true;
        break;
    default:
        Step_ = Step_ + 1 > 19 ? 1 : Step_ + 1;
        break;
    }
    return tick;
}
