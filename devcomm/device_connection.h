#pragma once

#include "devcomm/device_link.h"
#include "devcomm/modbus_setting.h"
#include "modbus/modbus_rtu_driver.h"
#include "modbus/modbus_tcp_driver.h"
#include "modbus/plc_block.h"
#include "modbus/serial_port_driver.h"
#include "modbus/tcp_udp_port.h"

#include <QString>
#include <functional>

// The status-bar panel and the Modbus diagnostics command after the settings were applied.
struct TConnectionStatus {
    QString Text;
    bool ModbusDiagEnabled = false;
    int ModbusDiagImage = 44;
};

// The program's way to the devices: the serial port with its RTU driver, the TCP port with its
// TCP driver and the identification block PLCBlockIdent that every device access of the passes
// goes through. The block's Tag records the protocol it is attached for (-1 for none).
// Everything runs on the user-interface thread; opening and closing wait SettleMs so that port
// and device settle, processing the stack's queued calls meanwhile.
class TDeviceConnection : public TDeviceLink {
public:
    TDeviceConnection();
    ~TDeviceConnection() override;

    const TModbusSetting& Setting() const { return Setting_; }

    // Closes the connection and hands the settings to both ports and the block. A serial setting
    // the port refuses is reported as "Error: " + text; the other steps still run.
    TConnectionStatus ApplyConnectionSettings(const TModbusSetting& setting,
                                              const QString& deviceText = QStringLiteral("Device"));

    // The packet log of the "/LOG" switch; empty for none.
    void SetPacketLogPath(const QString& path) { PacketLogPath_ = path; }
    int SettleMs() const { return SettleMs_; }
    void SetSettleMs(int ms) { SettleMs_ = ms; }
    // Called with "Error: ..." when a serial setting is refused.
    std::function<void(const QString&)> OnError;

    bool OpenConnection() override;
    void CloseConnection() override;
    int Station() const override { return StationOf(Setting_); }
    TProtocolIOResult ReadBlock(int station, int memAddress, int count,
                                std::vector<uint16_t>& registers) override;
    TProtocolIOResult WriteBlock(int station, int function, int memAddress,
                                 const std::vector<uint16_t>& registers) override;
    QString DriverName() const override;
    void Detach() override { PLCBlockIdent.SetTag(-1); }
    // The settings' station address, which the passes change (read dialog, address change).
    void SetAddress(int address) override { Setting_.Address = address; }
    // Waits SettleMs, processing the stack's queued calls meanwhile.
    void Settle() override;

    TSerialPortDriver RTUport;
    TTCP_UDPPort TCPport;
    TModBusRTUDriver RTUDriver;
    TModBusTCPDriver TCPDriver;
    TPLCBlock PLCBlockIdent;

private:
    void LoadIdentBlock();
    void ApplySerialSettings(const TModbusSetting& setting);
    TCommPortDriver& PortOf(int protocol);
    bool SelectedPortActive();

    TModbusSetting Setting_;
    QString PacketLogPath_;
    int SettleMs_ = 300;
};
