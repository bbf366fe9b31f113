// The rules of the communication settings and what applying them does to ports and block.
#include "devcomm/device_connection.h"
#include "devcomm/modbus_setting.h"
#include "devcomm_fixture.h"

#include <gtest/gtest.h>

namespace {

TModbusSetting Setting(int protocol, const char* comPort, int baud, int parity) {
    TModbusSetting s;
    s.Protocol = protocol;
    s.COMPort = QString::fromLatin1(comPort);
    s.Host = QStringLiteral("10.0.0.7");
    s.Port = 1502;
    s.BaudRate = baud;
    s.Parity = parity;
    s.Address = 12;
    return s;
}

TEST(ModbusSettingTest, StatusTexts) {
    const struct {
        TModbusSetting setting;
        const char* text;
    } cases[] = {
        {Setting(ProtocolDevice, "COM3", 5, 0), "Gerät - COM3 "},
        {Setting(ProtocolRTU, "COM4", 7, 2), "Modbus RTU - COM4 : 38400, 8 None 2 "},
        {Setting(ProtocolRTU, "COM1", 42, 9), "Modbus RTU - COM1 : 19200, 8 Even 1 "},
        {Setting(ProtocolRTU, "", 0, 1), "Modbus RTU -  : 300, 8 Odd 1 "},
        {Setting(ProtocolRTU, "ttyS0", 9, 3), "Modbus RTU - ttyS0 : 115200, 8 None 1 "},
        {Setting(ProtocolTCP, "COM4", 7, 2), "Modbus TCP - 10.0.0.7 : 1502 "},
        {Setting(7, "COM2", 7, 2), "Gerät - COM2 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConnectionStatusText(c.setting, QStringLiteral("Gerät")),
                  QString::fromUtf8(c.text));
}

TEST(ModbusSettingTest, LineSettingsOfTheLists) {
    EXPECT_EQ(SerialBaudRate(0), br300);
    EXPECT_EQ(SerialBaudRate(9), br115200);
    EXPECT_EQ(SerialBaudRate(10), br19200);
    EXPECT_EQ(SerialBaudRate(-1), br19200);
    const TFraming none2 = FramingOf(2);
    EXPECT_EQ(none2.Parity, spNone);
    EXPECT_EQ(none2.StopBits, sb2);
    EXPECT_EQ(FramingOf(3).StopBits, sb1);
    EXPECT_EQ(FramingOf(1).Parity, spOdd);
    EXPECT_EQ(FramingOf(-4).Parity, spEven);
}

TEST(ModbusSettingTest, DialogFieldRules) {
    EXPECT_EQ(PortFromText(QStringLiteral("5o2")), 502);
    EXPECT_EQ(PortFromText(QStringLiteral("")), 502);
    EXPECT_EQ(PortFromText(QStringLiteral("1502")), 1502);
    EXPECT_EQ(ComPortFromItem(QStringLiteral("-")), QString());
    EXPECT_EQ(ComPortFromItem(QStringLiteral("ttyUSB0")), QStringLiteral("ttyUSB0"));
    TModbusSetting device = Setting(ProtocolDevice, "COM3", 9, 2);
    device.Timeout = 2000;
    ApplyDeviceLineDefaults(device);
    EXPECT_EQ(device.BaudRate, 5);
    EXPECT_EQ(device.Parity, 0);
    EXPECT_EQ(device.Timeout, 300);
    EXPECT_EQ(StationOf(device), 68);
    EXPECT_EQ(StationOf(Setting(ProtocolRTU, "", 0, 0)), 12);
    EXPECT_EQ(StationOf(Setting(ProtocolTCP, "", 0, 0)), 12);
}

TEST(ModbusSettingTest, ConfirmedDialog) {
    TModbusSetting current;
    current.Address = 9;
    TSettingsDialogChoice device{ProtocolDevice, "h", "502", "COM3", 9, 2, 2000};
    TModbusSetting s = SettingsFromDialog(current, device);
    EXPECT_EQ(s.Protocol, ProtocolDevice);
    EXPECT_EQ(s.BaudRate, 5);
    EXPECT_EQ(s.Parity, 0);
    EXPECT_EQ(s.Timeout, 300);
    EXPECT_EQ(s.Address, 9);
    EXPECT_EQ(ConnectionStatusText(s, QStringLiteral("Device")), QStringLiteral("Device - COM3 "));

    TSettingsDialogChoice rtu{ProtocolRTU, "", "502", "COM4", 7, 2, 400};
    s = SettingsFromDialog(current, rtu);
    EXPECT_EQ(s.Timeout, 400);
    EXPECT_EQ(ConnectionStatusText(s, {}), QStringLiteral("Modbus RTU - COM4 : 38400, 8 None 2 "));

    TSettingsDialogChoice tcp{ProtocolTCP, "plc.local", "5o2", "-", 1, 1, 800};
    s = SettingsFromDialog(current, tcp);
    EXPECT_EQ(s.Port, 502);
    EXPECT_EQ(s.COMPort, QString());
    EXPECT_EQ(s.Host, QStringLiteral("plc.local"));
    EXPECT_EQ(s.BaudRate, 1);
}

TEST(ModbusSettingTest, SerialPortItemsStartWithNone) {
    EXPECT_EQ(SerialPortItems(QStringLiteral("ttyUSB0,ttyS1,ttyACM0")),
              (QStringList{"-", "ttyACM0", "ttyS1", "ttyUSB0"}));
    EXPECT_EQ(SerialPortItems({}), QStringList{"-"});
    const QStringList system = SerialPortItems(ListSerialPorts());
    EXPECT_EQ(system.value(0), QStringLiteral("-"));
}

TEST(DeviceConnectionTest, ApplyingSettingsReachesPortsAndBlock) {
    TDeviceConnection connection;
    connection.SetSettleMs(0);
    QStringList errors;
    connection.OnError = [&](const QString& text) { errors << text; };
    TModbusSetting s = Setting(ProtocolRTU, "/nonexistent/ttyX", 7, 2);
    s.Timeout = 700;
    const TConnectionStatus status = connection.ApplyConnectionSettings(s);
    // The refused port name is reported; rate, framing and time-out are still applied.
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Error: /nonexistent/ttyX")));
    EXPECT_EQ(connection.RTUport.COMPort(), "");
    EXPECT_EQ(connection.RTUport.BaudRate(), br38400);
    EXPECT_EQ(connection.RTUport.Paridade(), spNone);
    EXPECT_EQ(connection.RTUport.StopBits(), sb2);
    EXPECT_EQ(connection.RTUport.Timeout(), 700);
    EXPECT_EQ(connection.TCPport.Host(), "10.0.0.7");
    EXPECT_EQ(connection.TCPport.Port(), 1502);
    EXPECT_EQ(connection.TCPport.Timeout(), 700);
    EXPECT_EQ(connection.PLCBlockIdent.PLCStation(), 12u);
    EXPECT_FALSE(status.ModbusDiagEnabled);
    EXPECT_EQ(status.ModbusDiagImage, 44);

    const TConnectionStatus device =
        connection.ApplyConnectionSettings(Setting(ProtocolDevice, "", 5, 0));
    EXPECT_EQ(connection.PLCBlockIdent.PLCStation(), 68u);
    EXPECT_TRUE(device.ModbusDiagEnabled);
    EXPECT_EQ(device.ModbusDiagImage, 30);
    EXPECT_EQ(device.Text, QStringLiteral("Device -  "));
}

TEST(DeviceConnectionTest, PortWithoutNameDoesNotOpenAndStaysDetached) {
    TDeviceConnection connection;
    connection.SetSettleMs(0);
    connection.ApplyConnectionSettings(Setting(ProtocolRTU, "", 6, 0));
    EXPECT_FALSE(connection.OpenConnection());
    EXPECT_EQ(connection.PLCBlockIdent.Tag(), -1);
    EXPECT_FALSE(connection.OpenConnection());
    connection.CloseConnection();
    EXPECT_EQ(connection.PLCBlockIdent.ProtocolDriver(), nullptr);
}

} // namespace
