#include "devcomm/modbus_setting.h"

#include <QSerialPortInfo>
#include <array>

namespace {

constexpr std::array<int, 10> BaudRates{300,  600,   1200,  2400,  4800,
                                        9600, 19200, 38400, 57600, 115200};

bool IsBaudIndex(int index) {
    return index >= 0 && index < static_cast<int>(BaudRates.size());
}

} // namespace

int BaudRateValue(int index) {
    return IsBaudIndex(index) ? BaudRates[static_cast<size_t>(index)] : 19200;
}

TSerialBaudRate SerialBaudRate(int index) {
    // The port's rate list starts with 110, one place before the dialog's.
    return IsBaudIndex(index) ? static_cast<TSerialBaudRate>(index + 1) : br19200;
}

TFraming FramingOf(int index) {
    switch (index) {
    case 1:
        return {spOdd, sb1, "8 Odd 1"};
    case 2:
        return {spNone, sb2, "8 None 2"};
    case 3:
        return {spNone, sb1, "8 None 1"};
    default:
        return {spEven, sb1, "8 Even 1"};
    }
}

QString FramingDialogTexts() {
    return QStringLiteral("Parity Even / 1 Stop bit,Parity Odd / 1 Stop bit,"
                          "Parity None / 2 Stop bits,Parity None 7 1 Stop bit");
}

int StationOf(const TModbusSetting& setting) {
    return setting.Protocol == ProtocolRTU || setting.Protocol == ProtocolTCP ? setting.Address
                                                                              : ServiceStation;
}

int PortFromText(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok ? port : 502;
}

QString ComPortFromItem(const QString& item) {
    return item == QStringLiteral("-") ? QString() : item;
}

void ApplyDeviceLineDefaults(TModbusSetting& setting) {
    setting.BaudRate = 5;
    setting.Parity = 0;
    setting.Timeout = 300;
}

QString ConnectionStatusText(const TModbusSetting& setting, const QString& deviceText) {
    switch (setting.Protocol) {
    case ProtocolRTU:
        return QStringLiteral("Modbus RTU - ") + setting.COMPort + QStringLiteral(" : ") +
               QString::number(BaudRateValue(setting.BaudRate)) + QStringLiteral(", ") +
               QString::fromLatin1(FramingOf(setting.Parity).StatusText) + QStringLiteral(" ");
    case ProtocolTCP:
        return QStringLiteral("Modbus TCP - ") + setting.Host + QStringLiteral(" : ") +
               QString::number(setting.Port) + QStringLiteral(" ");
    default:
        return deviceText + QStringLiteral(" - ") + setting.COMPort + QStringLiteral(" ");
    }
}

TModbusSetting SettingsFromDialog(const TModbusSetting& current,
                                  const TSettingsDialogChoice& choice) {
    TModbusSetting s = current;
    s.Protocol = choice.Protocol == ProtocolRTU || choice.Protocol == ProtocolTCP ? choice.Protocol
                                                                                  : ProtocolDevice;
    s.Host = choice.HostText;
    s.Port = PortFromText(choice.PortText);
    s.COMPort = ComPortFromItem(choice.PortItem);
    if (s.Protocol == ProtocolDevice) {
        ApplyDeviceLineDefaults(s);
        return s;
    }
    s.BaudRate = choice.BaudIndex;
    s.Parity = choice.FramingIndex;
    s.Timeout = choice.Timeout;
    return s;
}

QStringList SerialPortItems(const QString& commaList) {
    QStringList items = commaList.split(QLatin1Char(','), Qt::SkipEmptyParts);
    items.prepend(QStringLiteral("-"));
    items.sort();
    return items;
}

QString ListSerialPorts() {
    QStringList names;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        names << port.portName();
    return names.join(QLatin1Char(','));
}
