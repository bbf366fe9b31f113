#pragma once
// TSerialPortDriver: the communication port for a serial line (Modbus RTU). The line settings
// travel as a mode string ("baud=9600 parity=E stop=1 data=8"), which the setters validate and
// the open applies. The line is opened exclusively; reads are collected over ReadRetries
// attempts, each bounded by time-outs derived from Timeout.
//
// Threads: setters on the user-interface thread while the port is inactive; the primitives run
// under the command mutex of TCommPortDriver, so one line object per port suffices.

#include "modbus/comm_port_driver.h"

#include <cstdint>
#include <memory>
#include <string>

enum TSerialBaudRate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br19200,
    br38400,
    br57600,
    br115200
};
enum TSerialParity { spNone, spOdd, spEven };
enum TSerialStopBits { sb1, sb2 };
enum TSerialDataBits { db5, db6, db7, db8 };

class TSerialLine;

// Time-outs of the line, derived from Timeout when the port opens.
struct TSerialTimeouts {
    std::int32_t ReadIntervalTimeout = 0;
    std::int32_t ReadTotalTimeoutMultiplier = 0;
    std::int32_t ReadTotalTimeoutConstant = 0;
    std::int32_t WriteTotalTimeoutMultiplier = 0;
    std::int32_t WriteTotalTimeoutConstant = 0;
};
TSerialTimeouts SerialTimeoutsFor(std::int32_t timeoutMs);

class TSerialPortDriver : public TCommPortDriver {
public:
    TSerialPortDriver();
    ~TSerialPortDriver() override;

    // A bare name is looked up under /dev/, an absolute path is used as it is. "(none)" or an
    // empty text clears the name; a name failing the name check raises
    // "<name>: Serial port does not exists!".
    const std::string& COMPort() const { return COMPortValue; }
    void SetCOMPort(const std::string& name);
    std::int32_t Timeout() const { return TimeoutValue; }
    void SetTimeout(std::int32_t ms);
    std::int32_t WriteReadDelay() const { return WriteReadDelayValue; }
    void SetWriteReadDelay(std::int32_t ms);
    TSerialBaudRate BaudRate() const { return BaudRateValue; }
    void SetBaudRate(TSerialBaudRate value);
    TSerialDataBits DataBits() const { return DataBitsValue; }
    void SetDataBits(TSerialDataBits value);
    TSerialParity Paridade() const { return ParidadeValue; }
    void SetParidade(TSerialParity value);
    TSerialStopBits StopBits() const { return StopBitsValue; }
    void SetStopBits(TSerialStopBits value);
    bool BackupPortSettings() const { return BackupSettings; }
    void SetBackupPortSettings(bool value) { BackupSettings = value; }
    bool AcceptAnyPortName() const { return AcceptAnyName; }
    void SetAcceptAnyPortName(bool value) { AcceptAnyName = value; }

    // The mode string of the current settings, e.g. "baud=19200 parity=N stop=1 data=8".
    std::string ModeString() const;
    bool SettingsValid() override;

protected:
    void Read(TIOPacket& packet) override;
    void Write(TIOPacket& packet) override;
    void PauseBetweenWriteAndRead() override;
    bool OpenPort() override;
    bool ClosePort() override;
    void ClearBuffers() override;
    std::size_t DiscardReceived() override;

private:
    bool PortNameValid(const std::string& name) const;
    template <typename T> void SetLineSetting(T& field, T value);

    std::string COMPortValue;
    std::int32_t TimeoutValue = 100;
    std::int32_t WriteReadDelayValue = 20;
    TSerialBaudRate BaudRateValue = br19200;
    TSerialDataBits DataBitsValue = db8;
    TSerialParity ParidadeValue = spNone;
    TSerialStopBits StopBitsValue = sb1;
    bool BackupSettings = false;
    bool AcceptAnyName = false;
    TSerialTimeouts Timeouts;
    std::unique_ptr<TSerialLine> Line;
};
