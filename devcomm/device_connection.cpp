#include "devcomm/device_connection.h"

#include "modbus/ui_thread.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

TDeviceConnection::TDeviceConnection() {
    RTUport.SetTimeout(500);
    RTUport.SetBaudRate(br9600);
    RTUport.SetParidade(spEven);
    TCPport.SetPort(502);
    TCPport.SetTimeout(500);
    TCPport.SetExclusiveDevice(false);
    TCPport.SetReconnectRetryInterval(2000);
    for (TModBusDriver* driver :
         {static_cast<TModBusDriver*>(&RTUDriver), static_cast<TModBusDriver*>(&TCPDriver)}) {
        driver->SetReadSomethingAlways(false);
        driver->SetReadOnly(false);
    }
    RTUDriver.SetCommunicationPort(&RTUport);
    TCPDriver.SetCommunicationPort(&TCPport);
    LoadIdentBlock();
}

TDeviceConnection::~TDeviceConnection() {
    PLCBlockIdent.SetProtocolDriver(nullptr);
    RTUport.SetActive(false);
    TCPport.SetActive(false);
}

void TDeviceConnection::LoadIdentBlock() {
    PLCBlockIdent.BeginLoad();
    PLCBlockIdent.SetTag(-1);
    PLCBlockIdent.SetAutoRead(false);
    PLCBlockIdent.SetAutoWrite(false);
    PLCBlockIdent.SetPLCStation(ServiceStation);
    PLCBlockIdent.SetPLCRack(0);
    PLCBlockIdent.SetPLCSlot(0);
    PLCBlockIdent.SetMemFile_DB(0);
    PLCBlockIdent.SetMemSubElement(0);
    PLCBlockIdent.SetMemAddress(3000);
    PLCBlockIdent.SetMemReadFunction(3);
    PLCBlockIdent.SetMemWriteFunction(16);
    PLCBlockIdent.SetRetries(3);
    PLCBlockIdent.SetProtocolDriver(&RTUDriver);
    PLCBlockIdent.SetSize(12);
    PLCBlockIdent.SetTagType(pttWord);
    PLCBlockIdent.SetSwapWords(true);
    PLCBlockIdent.EndLoad();
    // The block is only read synchronously; its queued change event has nothing to do.
    PLCBlockIdent.OnAsyncValueChange = [](TTag*, const TArrayOfDouble&) {};
}

TConnectionStatus TDeviceConnection::ApplyConnectionSettings(const TModbusSetting& setting,
                                                             const QString& deviceText) {
    CloseConnection();
    Setting_ = setting;
    TCPport.SetHost(setting.Host.toStdString());
    TCPport.SetPort(setting.Port);
    TCPport.SetTimeout(setting.Timeout);
    TCPport.SetReconnectRetryInterval(2000);
    ApplySerialSettings(setting);
    PLCBlockIdent.SetPLCStation(static_cast<uint32_t>(StationOf(setting)));
    TConnectionStatus status;
    status.Text = ConnectionStatusText(setting, deviceText);
    status.ModbusDiagEnabled = setting.Protocol != ProtocolRTU && setting.Protocol != ProtocolTCP;
    status.ModbusDiagImage = status.ModbusDiagEnabled ? 30 : 44;
    return status;
}

void TDeviceConnection::ApplySerialSettings(const TModbusSetting& setting) {
    // Each setter on its own: a refused port name must not keep the rate and framing away.
    const TFraming framing = FramingOf(setting.Parity);
    const std::function<void()> steps[] = {
        [&] { RTUport.SetCOMPort(setting.COMPort.toStdString()); },
        [&] { RTUport.SetBaudRate(SerialBaudRate(setting.BaudRate)); },
        [&] { RTUport.SetParidade(framing.Parity); },
        [&] { RTUport.SetStopBits(framing.StopBits); },
        [&] { RTUport.SetTimeout(setting.Timeout); },
    };
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception& error) {
            if (OnError)
                OnError(QStringLiteral("Error: ") + QString::fromStdString(error.what()));
        }
    }
}

TCommPortDriver& TDeviceConnection::PortOf(int protocol) {
    if (protocol == ProtocolTCP)
        return TCPport;
    return RTUport;
}

bool TDeviceConnection::SelectedPortActive() {
    return PortOf(Setting_.Protocol).Active();
}

bool TDeviceConnection::OpenConnection() {
    if (SelectedPortActive())
        return true;
    if (PLCBlockIdent.Tag() == Setting_.Protocol)
        return SelectedPortActive();
    CloseConnection();
    Settle();
    TCommPortDriver& port = PortOf(Setting_.Protocol);
    PLCBlockIdent.SetProtocolDriver(Setting_.Protocol == ProtocolTCP
                                        ? static_cast<TProtocolDriver*>(&TCPDriver)
                                        : static_cast<TProtocolDriver*>(&RTUDriver));
    PLCBlockIdent.SetPLCStation(static_cast<uint32_t>(Station()));
    if (!PacketLogPath_.isEmpty()) {
        port.SetLogFile(PacketLogPath_.toStdString());
        port.SetLogIOActions(true);
    }
    port.SetActive(true);
    Settle();
    const bool active = port.Active();
    // Only an opened port counts as attached: a port that failed to open (adapter unplugged,
    // port busy) is tried again by the next command instead of failing for good.
    if (active)
        PLCBlockIdent.SetTag(Setting_.Protocol);
    return active;
}

void TDeviceConnection::CloseConnection() {
    PLCBlockIdent.SetTag(-1);
    for (TCommPortDriver* port :
         {static_cast<TCommPortDriver*>(&RTUport), static_cast<TCommPortDriver*>(&TCPport)}) {
        port->SetActive(false);
        port->SetLogIOActions(false);
        port->SetLogFile("");
    }
    Settle();
    PLCBlockIdent.SetProtocolDriver(nullptr);
}

TProtocolIOResult TDeviceConnection::ReadBlock(int station, int memAddress, int count,
                                               std::vector<uint16_t>& registers) {
    PLCBlockIdent.SetPLCStation(static_cast<uint32_t>(station));
    PLCBlockIdent.SetMemAddress(static_cast<uint32_t>(memAddress));
    PLCBlockIdent.SetSize(static_cast<uint32_t>(count));
    PLCBlockIdent.Read();
    const TProtocolIOResult result = PLCBlockIdent.LastSyncReadStatus();
    registers.clear();
    if (result != ioOk)
        return result;
    for (int i = 0; i < count; ++i)
        registers.push_back(static_cast<uint16_t>(PLCBlockIdent.Elements(i)));
    return result;
}

TProtocolIOResult TDeviceConnection::WriteBlock(int station, int function, int memAddress,
                                                const std::vector<uint16_t>& registers) {
    PLCBlockIdent.SetPLCStation(static_cast<uint32_t>(station));
    PLCBlockIdent.SetMemWriteFunction(static_cast<uint32_t>(function));
    PLCBlockIdent.SetMemAddress(static_cast<uint32_t>(memAddress));
    PLCBlockIdent.SetSize(static_cast<uint32_t>(registers.size()));
    for (size_t i = 0; i < registers.size(); ++i)
        PLCBlockIdent.SetElements(static_cast<int32_t>(i), registers[i]);
    PLCBlockIdent.WriteElements();
    return PLCBlockIdent.LastSyncWriteStatus();
}

QString TDeviceConnection::DriverName() const {
    return PLCBlockIdent.ProtocolDriver() == &TCPDriver ? QStringLiteral("TCPDriver")
                                                        : QStringLiteral("RTUDriver");
}

void TDeviceConnection::Settle() {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(SettleMs_);
    TUIThread& ui = UIThread();
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        if (ui.IsCurrent())
            ui.ProcessPending(static_cast<int>(std::min<long long>(left, 5)));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
