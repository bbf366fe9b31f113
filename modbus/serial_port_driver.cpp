#include "modbus/serial_port_driver.h"

#include "modbus/platform/os_error.h"
#include "modbus/platform/serial_line.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace {

template <typename T, std::size_t N> const char* Part(const char* const (&parts)[N], T value) {
    const auto index = static_cast<std::size_t>(value);
    return index < N ? parts[index] : "";
}

const char* const BaudParts[] = {"baud=110 ",   "baud=300 ",   "baud=600 ",   "baud=1200 ",
                                 "baud=2400 ",  "baud=4800 ",  "baud=9600 ",  "baud=19200 ",
                                 "baud=38400 ", "baud=57600 ", "baud=115200 "};
const char* const ParityParts[] = {"parity=N ", "parity=O ", "parity=E "};
const char* const StopParts[] = {"stop=1 ", "stop=2 "};
const char* const DataParts[] = {"data=5", "data=6", "data=7", "data=8"};

} // namespace

TSerialTimeouts SerialTimeoutsFor(std::int32_t timeoutMs) {
    return TSerialTimeouts{timeoutMs, 2, timeoutMs / 4, 2, timeoutMs / 4};
}

TSerialPortDriver::TSerialPortDriver() {
    SetExclusiveDevice(true);
}

TSerialPortDriver::~TSerialPortDriver() {
    DestroyPort();
}

std::string TSerialPortDriver::ModeString() const {
    return std::string(Part(BaudParts, BaudRateValue)) + Part(ParityParts, ParidadeValue) +
           Part(StopParts, StopBitsValue) + Part(DataParts, DataBitsValue);
}

bool TSerialPortDriver::PortNameValid(const std::string& name) const {
    if (AcceptAnyName)
        return true;
    return !name.empty() && IsSerialDevice(SerialDevicePath(name));
}

bool TSerialPortDriver::SettingsValid() {
    TLineSettings settings;
    return PortNameValid(COMPortValue) && ParseModeString(ModeString(), settings);
}

void TSerialPortDriver::SetCOMPort(const std::string& name) {
    RaiseIfActive();
    // "(none)" is what a port list offers for "no port": it clears the name even when any name
    // is accepted, so it never reaches an open as a device name.
    if (name.empty() || name == "(none)") {
        COMPortValue.clear();
        return;
    }
    if (!PortNameValid(name))
        throw EStackError(name + ": Serial port does not exists!");
    COMPortValue = name;
}

void TSerialPortDriver::SetTimeout(std::int32_t ms) {
    RaiseIfActive();
    TimeoutValue = ms;
}

void TSerialPortDriver::SetWriteReadDelay(std::int32_t ms) {
    RaiseIfActive();
    WriteReadDelayValue = ms;
}

template <typename T> void TSerialPortDriver::SetLineSetting(T& field, T value) {
    RaiseIfActive();
    const T old = field;
    field = value;
    TLineSettings settings;
    if (!ParseModeString(ModeString(), settings)) {
        RefreshLastOSError();
        field = old;
        throw EStackError("Invalid mode!");
    }
}

void TSerialPortDriver::SetBaudRate(TSerialBaudRate value) {
    SetLineSetting(BaudRateValue, value);
}

void TSerialPortDriver::SetDataBits(TSerialDataBits value) {
    SetLineSetting(DataBitsValue, value);
}

void TSerialPortDriver::SetParidade(TSerialParity value) {
    SetLineSetting(ParidadeValue, value);
}

void TSerialPortDriver::SetStopBits(TSerialStopBits value) {
    SetLineSetting(StopBitsValue, value);
}

bool TSerialPortDriver::OpenPort() {
    if (Active())
        return true;
    Timeouts = SerialTimeoutsFor(TimeoutValue);
    if (!PortNameValid(COMPortValue)) {
        SetLastOSError(ENOENT);
        return false;
    }
    auto line = std::make_unique<TSerialLine>();
    if (!line->Open(SerialDevicePath(COMPortValue)))
        return false;
    TLineSettings settings;
    if (!ParseModeString(ModeString(), settings))
        return false;
    if (BackupSettings)
        line->SaveSettings();
    if (!line->Apply(settings)) {
        const int error = LastOSError();
        if (BackupSettings)
            line->RestoreSettings();
        SetLastOSError(error);
        return false;
    }
    Line = std::move(line);
    ClearBuffersLocked();
    SetLastOSError(0);
    return true;
}

bool TSerialPortDriver::ClosePort() {
    if (Line) {
        Line->ClearRtsDtr(); // fails harmlessly on lines without modem control
        if (BackupSettings)
            Line->RestoreSettings();
        Line.reset();
    }
    SetLastOSError(0);
    return true;
}

void TSerialPortDriver::Read(TIOPacket& packet) {
    if (packet.ReadBuffer.size() < packet.BytesToRead)
        packet.ReadBuffer.resize(packet.BytesToRead, 0);
    packet.BytesReceived = 0;
    std::uint32_t attempts = 0;
    bool answerPending = packet.WriteResult == iorOK && packet.BytesWritten > 0;
    while (Line && packet.BytesReceived < packet.BytesToRead && attempts < packet.ReadTries) {
        // One attempt waits as long as the line's time-outs allow for the bytes still missing.
        const std::uint32_t missing = packet.BytesToRead - packet.BytesReceived;
        const int total = Timeouts.ReadTotalTimeoutConstant +
                          Timeouts.ReadTotalTimeoutMultiplier * static_cast<int>(missing);
        const long got = Line->ReadAttempt(packet.ReadBuffer.data() + packet.BytesReceived, missing,
                                           total, Timeouts.ReadIntervalTimeout, answerPending);
        answerPending = false; // an answer cannot be there yet only before the first attempt
        if (got > 0)
            packet.BytesReceived += static_cast<std::uint32_t>(got);
        ++attempts;
    }
    packet.ReadTries = attempts;
    packet.ReadResult = packet.BytesReceived < packet.BytesToRead ? iorTimeOut : iorOK;
    if (packet.ReadResult != iorOK) {
        if (ClearBuffersOnCommErrors())
            ClearBuffers();
        ReportCommError(false, packet.ReadResult);
    }
}

void TSerialPortDriver::Write(TIOPacket& packet) {
    const std::size_t count = std::min<std::size_t>(packet.BytesToWrite, packet.WriteBuffer.size());
    const long written = Line ? Line->WriteAll(packet.WriteBuffer.data(), count, TimeoutValue) : -1;
    packet.BytesWritten = written > 0 ? static_cast<std::uint32_t>(written) : 0;
    packet.WriteResult = packet.BytesWritten < packet.BytesToWrite ? iorTimeOut : iorOK;
    if (packet.WriteResult != iorOK) {
        if (ClearBuffersOnCommErrors())
            ClearBuffers();
        ReportCommError(true, packet.WriteResult);
    }
}

void TSerialPortDriver::PauseBetweenWriteAndRead() {
    if (WriteReadDelayValue > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(WriteReadDelayValue));
}

std::size_t TSerialPortDriver::DiscardReceived() {
    return Line ? Line->DiscardInput() : 0;
}

void TSerialPortDriver::ClearBuffers() {
    if (Line)
        Line->Purge();
}
