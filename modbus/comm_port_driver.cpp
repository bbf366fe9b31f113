#include "modbus/comm_port_driver.h"

#include "modbus/cross_event.h"
#include "modbus/cross_thread.h"
#include "modbus/event_notification_thread.h"
#include "modbus/platform/local_time.h"
#include "modbus/platform/log_file.h"
#include "modbus/platform/os_error.h"
#include "modbus/ui_thread.h"

#include <algorithm>
#include <cstdio>

namespace {

// Decrements the pending-command count however RunCommand ends.
class TPendingGuard {
public:
    explicit TPendingGuard(std::atomic<std::int32_t>& count) : Count(count) {}
    ~TPendingGuard() { Count.fetch_sub(1); }
    TPendingGuard(const TPendingGuard&) = delete;
    TPendingGuard& operator=(const TPendingGuard&) = delete;

private:
    std::atomic<std::int32_t>& Count;
};

std::string HexBytes(const BYTES& bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    char digits[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof(digits), "%02X ", byte);
        text += digits;
    }
    return text;
}

bool Reads(TIOCommand command) {
    return command == iocRead || command == iocReadWrite || command == iocWriteRead;
}

bool Writes(TIOCommand command) {
    return command == iocWrite || command == iocReadWrite || command == iocWriteRead;
}

} // namespace

TCommPortDriver::TCommPortDriver()
    : UnlockedEvent(std::make_unique<TCrossEvent>(true, true)),
      Notifier(std::make_unique<TEventNotificationThread>()) {}

TCommPortDriver::~TCommPortDriver() {
    DestroyPort();
}

void TCommPortDriver::DestroyPort() {
    if (DestroyingFlag.exchange(true))
        return;
    std::vector<IPortDriverEventNotification*> drivers;
    {
        std::lock_guard lock(DriversMutex);
        drivers = RegisteredDrivers;
    }
    // A driver usually answers by unregistering, so the list is visited as a copy.
    for (IPortDriverEventNotification* driver : drivers)
        driver->PortRemoved(this);
    Notifier->Stop();
    SetActive(false);
    std::lock_guard lock(DriversMutex);
    RegisteredDrivers.clear();
}

std::uint32_t TCommPortDriver::RunCommand(TIOCommand command, std::uint32_t bytesToWrite,
                                          BYTES writeBuffer, std::uint32_t bytesToRead,
                                          std::uint32_t ownerId, std::uint32_t delayMs,
                                          TIOPacket* packet, const TPortNotifyEvent& before,
                                          const TPortNotifyEvent& after) {
    if (Destroying())
        return 0;
    {
        std::unique_lock lock(LockMutex);
        while (LockedByValue != 0 && LockedByValue != ownerId) {
            lock.unlock();
            UnlockedEvent->WaitFor(TCrossEvent::INFINITE);
            lock.lock();
        }
        Pending.fetch_add(1);
    }
    TPendingGuard pending(Pending);
    std::lock_guard commandLock(CommandMutex);
    if (!IsPortReady())
        return 0;
    if (before)
        before(this);
    TIOPacket ownPacket;
    TIOPacket& p = packet ? *packet : ownPacket;
    const std::uint32_t id = LastPacketIdValue.fetch_add(1) + 1;
    PreparePacket(p, id, bytesToWrite, std::move(writeBuffer), bytesToRead, delayMs);
    if (IsPortReady())
        Execute(command, p);
    else
        MarkNotReady(command, p);
    if (LogOn.load())
        AppendLog(command, p);
    if (after)
        after(this);
    return id;
}

void TCommPortDriver::PreparePacket(TIOPacket& p, std::uint32_t id, std::uint32_t bytesToWrite,
                                    BYTES writeBuffer, std::uint32_t bytesToRead,
                                    std::uint32_t delayMs) {
    p.PacketId = id;
    p.WriteResult = p.ReadResult = iorNone;
    // The medium never sends beyond the buffer it was given.
    p.BytesToWrite =
        static_cast<std::uint32_t>(std::min<std::size_t>(bytesToWrite, writeBuffer.size()));
    p.WriteBuffer = std::move(writeBuffer);
    p.BytesWritten = 0;
    p.WriteTries = WriteRetries();
    p.DelayMs = delayMs;
    p.BytesToRead = bytesToRead;
    p.BytesReceived = 0;
    p.ReadTries = ReadRetries();
    p.Reserved1 = p.Reserved2 = nullptr;
    p.ReadBuffer.assign(bytesToRead, 0);
}

void TCommPortDriver::Execute(TIOCommand command, TIOPacket& packet) {
    if (Destroying())
        return;
    CurrentDelay.store(packet.DelayMs);
    switch (command) {
    case iocRead:
        Read(packet);
        break;
    case iocReadWrite:
        Read(packet);
        PauseBetweenWriteAndRead();
        Write(packet);
        break;
    case iocWrite:
        Write(packet);
        break;
    case iocWriteRead:
        Write(packet);
        PauseBetweenWriteAndRead();
        Read(packet);
        break;
    case iocNone:
        break;
    }
    RXBytesValue.fetch_add(packet.BytesReceived);
    TXBytesValue.fetch_add(packet.BytesWritten);
}

void TCommPortDriver::MarkNotReady(TIOCommand command, TIOPacket& packet) {
    if (Reads(command))
        packet.ReadResult = iorNotReady;
    if (Writes(command))
        packet.WriteResult = iorNotReady;
}

void TCommPortDriver::AppendLog(TIOCommand command, const TIOPacket& packet) {
    if (!Log)
        return;
    const std::string prefix = LocalTimeStamp() + ", " + IOCommandName(command) + ", Result=";
    const std::string readLine = prefix + IOResultName(packet.ReadResult) +
                                 ", Received: " + HexBytes(packet.ReadBuffer) + "\r\n";
    const std::string writeLine = prefix + IOResultName(packet.WriteResult) +
                                  ", Written:    " + HexBytes(packet.WriteBuffer) + "\r\n";
    std::string entry;
    switch (command) {
    case iocRead:
        entry = readLine;
        break;
    case iocReadWrite:
        entry = readLine + writeLine;
        break;
    case iocWrite:
        entry = writeLine;
        break;
    case iocWriteRead:
        entry = writeLine + readLine;
        break;
    case iocNone:
        return;
    }
    Log->Append(entry);
}

bool TCommPortDriver::Lock(std::uint32_t ownerId) {
    if (ownerId == 0)
        return false; // 0 means "nobody" and cannot own the channel
    // Pending commands are counted under LockMutex, so checking the count under it as well
    // grants the channel only while it is really idle.
    for (;;) {
        {
            std::lock_guard lock(LockMutex);
            if (Pending.load() == 0) {
                if (LockedByValue != 0)
                    return false;
                LockedByValue = ownerId;
                UnlockedEvent->ResetEvent();
                return true;
            }
        }
        TCrossThread::Yield();
    }
}

bool TCommPortDriver::Unlock(std::uint32_t ownerId) {
    std::lock_guard lock(LockMutex);
    if (LockedByValue != 0 && LockedByValue != ownerId)
        return false;
    LockedByValue = 0;
    UnlockedEvent->SetEvent();
    return true;
}

std::uint32_t TCommPortDriver::LockedBy() const {
    std::lock_guard lock(LockMutex);
    return LockedByValue;
}

void TCommPortDriver::AddProtocolDriver(IPortDriverEventNotification* driver) {
    if (!driver)
        throw EStackError("The component is not a valid protocol driver");
    std::lock_guard lock(DriversMutex);
    if (std::find(RegisteredDrivers.begin(), RegisteredDrivers.end(), driver) ==
        RegisteredDrivers.end())
        RegisteredDrivers.push_back(driver);
}

void TCommPortDriver::RemoveProtocolDriver(IPortDriverEventNotification* driver) {
    std::lock_guard lock(DriversMutex);
    auto found = std::find(RegisteredDrivers.begin(), RegisteredDrivers.end(), driver);
    if (found == RegisteredDrivers.end())
        return;
    *found = RegisteredDrivers.back();
    RegisteredDrivers.pop_back();
}

std::size_t TCommPortDriver::RegisteredDriverCount() const {
    std::lock_guard lock(DriversMutex);
    return RegisteredDrivers.size();
}

void TCommPortDriver::SetActive(bool value) {
    std::lock_guard lock(CommandMutex);
    if (value) {
        const bool ok = OpenPort();
        RefreshLastOSError();
        // Active is settled before the event, so a handler sees the port as it is.
        ActiveFlag.store(ok);
        if (ok)
            DeliverPortOpened();
        else
            DeliverPortOpenError();
    } else {
        const bool ok = ClosePort();
        RefreshLastOSError();
        ActiveFlag.store(!ok);
        if (ok)
            DeliverPortClosed();
        else
            DeliverPortCloseError();
    }
}

std::int32_t TCommPortDriver::LastOSErrorNumber() const {
    std::lock_guard lock(ErrorMutex);
    return LastOSErrorNumberValue;
}

std::string TCommPortDriver::LastOSErrorMessage() const {
    std::lock_guard lock(ErrorMutex);
    return LastOSErrorMessageValue;
}

void TCommPortDriver::RefreshLastOSError() {
    const int code = LastOSError();
    std::string text = OSErrorMessage(code);
    std::lock_guard lock(ErrorMutex);
    LastOSErrorNumberValue = code;
    LastOSErrorMessageValue = std::move(text);
}

void TCommPortDriver::SetLogIOActions(bool value) {
    std::lock_guard lock(CommandMutex);
    if (value == LogOn.load())
        return;
    if (value)
        Log = std::make_unique<TLogFile>(LogFileName);
    else
        Log.reset();
    LogOn.store(value);
}

std::string TCommPortDriver::LogFile() const {
    std::lock_guard lock(CommandMutex);
    return LogFileName;
}

void TCommPortDriver::SetLogFile(const std::string& path) {
    std::lock_guard lock(CommandMutex);
    if (path == LogFileName)
        return;
    const bool wasOn = LogOn.load();
    SetLogIOActions(false);
    LogFileName = path;
    if (wasOn)
        SetLogIOActions(true);
}

void TCommPortDriver::RaiseIfActive() const {
    if (Active())
        throw EStackError("Cannot change the communication port properties while it's active!");
}

std::size_t TCommPortDriver::DiscardInput() {
    std::lock_guard lock(CommandMutex);
    return IsPortReady() ? DiscardReceived() : 0;
}

void TCommPortDriver::ClearBuffersLocked() {
    std::lock_guard lock(CommandMutex);
    ClearBuffers();
}

void TCommPortDriver::Read(TIOPacket& packet) {
    packet.ReadResult = iorNotReady;
}

void TCommPortDriver::Write(TIOPacket& packet) {
    packet.WriteResult = iorNotReady;
}

void TCommPortDriver::ReportReadError(TIOResult error) {
    if (OnCommErrorReading)
        OnCommErrorReading(error);
}

void TCommPortDriver::ReportWriteError(TIOResult error) {
    if (OnCommErrorWriting)
        OnCommErrorWriting(error);
}

void TCommPortDriver::ReportPortOpened(TCommPortDriver* sender) {
    if (OnCommPortOpened)
        OnCommPortOpened(sender);
}

void TCommPortDriver::ReportPortOpenError(TCommPortDriver* sender) {
    if (OnCommPortOpenError)
        OnCommPortOpenError(sender);
}

void TCommPortDriver::ReportPortClosed(TCommPortDriver* sender) {
    if (OnCommPortClosed)
        OnCommPortClosed(sender);
}

void TCommPortDriver::ReportPortCloseError(TCommPortDriver* sender) {
    if (OnCommPortCloseError)
        OnCommPortCloseError(sender);
}

void TCommPortDriver::ReportPortDisconnected(TCommPortDriver* sender) {
    if (OnCommPortDisconnected)
        OnCommPortDisconnected(sender);
}

void TCommPortDriver::Deliver(std::uint32_t msgId, const std::function<void()>& call) {
    if (UIThread().IsCurrent())
        call();
    else
        Notifier->PostCall(msgId, call, true);
}

void TCommPortDriver::ReportCommError(bool isWrite, TIOResult error) {
    Deliver(TEventNotificationThread::ErrorEventMessage, [this, isWrite, error] {
        if (isWrite)
            ReportWriteError(error);
        else
            ReportReadError(error);
    });
}

void TCommPortDriver::DeliverPortOpened() {
    if (Destroying())
        return;
    Deliver(TEventNotificationThread::NotificationMessage, [this] { ReportPortOpened(this); });
    NotifyDrivers(pefOpened);
}

void TCommPortDriver::DeliverPortOpenError() {
    if (Destroying())
        return;
    Deliver(TEventNotificationThread::NotificationMessage, [this] { ReportPortOpenError(this); });
}

void TCommPortDriver::DeliverPortClosed() {
    if (Destroying())
        return;
    Deliver(TEventNotificationThread::NotificationMessage, [this] { ReportPortClosed(this); });
    NotifyDrivers(pefClosed);
}

void TCommPortDriver::DeliverPortCloseError() {
    if (Destroying())
        return;
    Deliver(TEventNotificationThread::NotificationMessage, [this] { ReportPortCloseError(this); });
}

void TCommPortDriver::DeliverPortDisconnected() {
    if (Destroying())
        return;
    Deliver(TEventNotificationThread::NotificationMessage,
            [this] { ReportPortDisconnected(this); });
    NotifyDrivers(pefDisconnected);
}

void TCommPortDriver::NotifyDrivers(std::uint32_t flag) {
    std::vector<IPortDriverEventNotification*> drivers;
    {
        std::lock_guard lock(DriversMutex);
        drivers = RegisteredDrivers;
    }
    for (IPortDriverEventNotification* driver : drivers) {
        if ((driver->WantedPortEvents() & flag) == 0)
            continue;
        TPortNotifyEvent handler = flag == pefOpened   ? driver->GetPortOpenedHandler()
                                   : flag == pefClosed ? driver->GetPortClosedHandler()
                                                       : driver->GetPortDisconnectedHandler();
        if (handler)
            Notifier->PostCall(
                TEventNotificationThread::NotificationMessage, [handler] { handler(nullptr); },
                false);
    }
}
