#pragma once

#include "modbus/serial_port_driver.h"

#include <QString>
#include <QStringList>

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

enum { ProtocolDevice = 0, ProtocolRTU = 1, ProtocolTCP = 2 };

// The service interface of a device always answers at this station.
constexpr int ServiceStation = 68;

// One entry of the framing list: the serial line settings and the status-bar text.
struct TFraming {
    TSerialParity Parity = spEven;
    TSerialStopBits StopBits = sb1;
    const char* StatusText = "8 Even 1";
};

// The rate of a baud-rate list index (0: 300 ... 9: 115200); any other index means 19200.
int BaudRateValue(int index);
TSerialBaudRate SerialBaudRate(int index);
// The framing of a framing list index; any index outside 0 to 3 means 8 Even 1.
TFraming FramingOf(int index);
// The English framing texts of the dialog, in list order, as one comma list.
QString FramingDialogTexts();

// The station that requests go to: the settings' address for RTU and TCP, 68 for "Device".
int StationOf(const TModbusSetting& setting);
// The TCP port of the dialog's port field: 502 when the text is no integer.
int PortFromText(const QString& text);
// The serial port of the dialog's port list: empty for no selection and for "-".
QString ComPortFromItem(const QString& item);
// What the dialog stores for "Device": the service interface's fixed line settings.
void ApplyDeviceLineDefaults(TModbusSetting& setting);

// The second status-bar panel; deviceText is the translated word for the service interface.
QString ConnectionStatusText(const TModbusSetting& setting, const QString& deviceText);

// What the settings dialog shows when it is confirmed.
struct TSettingsDialogChoice {
    int Protocol = 0; // the selected radio button: 0 "Device", 1 RTU, 2 TCP
    QString HostText;
    QString PortText;
    QString PortItem; // the selected serial port item, empty for none
    int BaudIndex = 6;
    int FramingIndex = 0;
    int Timeout = 300;
};

// The settings after the dialog was confirmed: "Device" always takes the service interface's
// line settings, whatever the dialog shows.
TModbusSetting SettingsFromDialog(const TModbusSetting& current,
                                  const TSettingsDialogChoice& choice);

// The dialog's serial port list: "-" for none and the system's port names, sorted.
QStringList SerialPortItems(const QString& commaList);
// The serial ports of the system as a comma list.
QString ListSerialPorts();
