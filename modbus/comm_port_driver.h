#pragma once
// TCommPortDriver: the base of every communication channel of the master stack. It serialises
// commands from several threads, gives one driver at a time exclusive use of the channel, runs
// the open/close life cycle with its events, counts bytes and keeps the optional I/O log.
// Subclasses supply the medium primitives (open, close, read, write, pause, purge, readiness).
//
// Threads: RunCommand, Lock and Unlock may be called from any thread. Properties are set on the
// user-interface thread. Events run on the user-interface thread (see ui_thread.h): raised there,
// they run at once; raised on another thread, they go through the port's notification thread
// and run in the order in which they were raised, without the raising thread waiting.
// Locks: CommandMutex (recursive) is held while a command runs and while the port opens, closes,
// purges or changes its log settings; LockMutex guards LockedBy and PendingCommands and is never
// held together with CommandMutex; DriversMutex guards the registered drivers; ErrorMutex the
// last operating-system error.

#include "modbus/io_types.h"
#include "modbus/port_driver_event_notification.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TCrossEvent;
class TEventNotificationThread;
class TLogFile;

using TCommPortErrorEvent = std::function<void(TIOResult error)>;

class TCommPortDriver {
public:
    TCommPortDriver();
    TCommPortDriver(const TCommPortDriver&) = delete;
    TCommPortDriver& operator=(const TCommPortDriver&) = delete;
    virtual ~TCommPortDriver();

    // Executes one command on the calling thread and returns its PacketId, or 0 when nothing
    // was executed (the port was not ready; the packet is then left as it was). Without a
    // packet the port uses one of its own. before/after run with the port as argument under
    // CommandMutex, just before the command is prepared and just after it finished.
    std::uint32_t RunCommand(TIOCommand command, std::uint32_t bytesToWrite, BYTES writeBuffer,
                             std::uint32_t bytesToRead, std::uint32_t ownerId,
                             std::uint32_t delayMs = 0, TIOPacket* packet = nullptr,
                             const TPortNotifyEvent& before = {},
                             const TPortNotifyEvent& after = {});

    // Exclusive use of the channel by one driver (its DriverID). Lock waits until no command is
    // pending, then grants the channel when nobody holds it. Unlock gives it back when the
    // caller holds it or nobody does.
    bool Lock(std::uint32_t ownerId);
    bool Unlock(std::uint32_t ownerId);

    // Raises EStackError "The component is not a valid protocol driver" for nullptr; adding a
    // driver twice has no effect.
    void AddProtocolDriver(IPortDriverEventNotification* driver);
    void RemoveProtocolDriver(IPortDriverEventNotification* driver);
    std::size_t RegisteredDriverCount() const;

    // Drops what arrived without being asked for (an answer that came after its read had
    // given up), so that the answer to the next request is its own. Runs under the command
    // mutex; returns the number of bytes dropped (0 while the port is not ready).
    std::size_t DiscardInput();

    bool Active() const { return ActiveFlag.load(); }
    virtual void SetActive(bool value);
    virtual bool IsPortReady() { return Active(); }
    virtual bool SettingsValid() { return false; }

    bool ClearBuffersOnCommErrors() const { return ClearOnErrors.load(); }
    void SetClearBuffersOnCommErrors(bool value) { ClearOnErrors.store(value); }
    std::uint32_t ReadRetries() const { return ReadRetriesValue.load(); }
    void SetReadRetries(std::uint32_t value) { ReadRetriesValue.exchange(value); }
    std::uint32_t WriteRetries() const { return WriteRetriesValue.load(); }
    void SetWriteRetries(std::uint32_t value) { WriteRetriesValue.exchange(value); }
    bool ExclusiveDevice() const { return Exclusive.load(); }
    void SetExclusiveDevice(bool value) { Exclusive.store(value); }

    std::uint32_t LockedBy() const;
    bool Locked() const { return LockedBy() != 0; }
    std::int32_t PendingCommands() const { return Pending.load(); }
    std::uint32_t LastPacketId() const { return LastPacketIdValue.load(); }

    std::int32_t LastOSErrorNumber() const;
    std::string LastOSErrorMessage() const;
    std::int64_t TXBytes() const { return TXBytesValue.load(); }
    std::int64_t RXBytes() const { return RXBytesValue.load(); }

    // Switching the log on creates the file when missing and appends to it; a file that cannot
    // be opened raises std::system_error and leaves logging off.
    bool LogIOActions() const { return LogOn.load(); }
    void SetLogIOActions(bool value);
    std::string LogFile() const;
    void SetLogFile(const std::string& path);

    TPortNotifyEvent OnCommPortOpened;
    TPortNotifyEvent OnCommPortOpenError;
    TPortNotifyEvent OnCommPortClosed;
    TPortNotifyEvent OnCommPortCloseError;
    TPortNotifyEvent OnCommPortDisconnected; // published by the TCP port only
    TCommPortErrorEvent OnCommErrorReading;
    TCommPortErrorEvent OnCommErrorWriting;

protected:
    // Event operations: call the matching event when assigned. Run on the user-interface thread.
    virtual void ReportReadError(TIOResult error);
    virtual void ReportWriteError(TIOResult error);
    virtual void ReportPortOpened(TCommPortDriver* sender);
    virtual void ReportPortOpenError(TCommPortDriver* sender);
    virtual void ReportPortClosed(TCommPortDriver* sender);
    virtual void ReportPortCloseError(TCommPortDriver* sender);
    virtual void ReportPortDisconnected(TCommPortDriver* sender);

    // Medium primitives. Read and Write run under CommandMutex; OpenPort and ClosePort too.
    virtual void Read(TIOPacket& packet);
    virtual void Write(TIOPacket& packet);
    virtual void PauseBetweenWriteAndRead() {}
    virtual bool OpenPort() { return false; }
    virtual bool ClosePort() { return true; }
    virtual void ClearBuffers() {}
    virtual std::size_t DiscardReceived() { return 0; }

    // Raises EStackError "Cannot change the communication port properties while it's active!"
    // while the port is active.
    void RaiseIfActive() const;
    // Copies the calling thread's last operating-system error and its text.
    void RefreshLastOSError();
    // Delivers ReportReadError (isWrite false) or ReportWriteError on the user-interface thread.
    void ReportCommError(bool isWrite, TIOResult error);
    void DeliverPortOpened();
    void DeliverPortOpenError();
    void DeliverPortClosed();
    void DeliverPortCloseError();
    void DeliverPortDisconnected();
    void ClearBuffersLocked();
    std::uint32_t CurrentDelayMs() const { return CurrentDelay.load(); }
    bool Destroying() const { return DestroyingFlag.load(); }
    // The first step of every subclass's destructor: tells the drivers, stops the notification
    // thread and closes the port without events, while the subclass's primitives still exist.
    // Idempotent.
    void DestroyPort();

private:
    friend class TEventNotificationThread;

    void PreparePacket(TIOPacket& p, std::uint32_t id, std::uint32_t bytesToWrite,
                       BYTES writeBuffer, std::uint32_t bytesToRead, std::uint32_t delayMs);
    void Execute(TIOCommand command, TIOPacket& packet);
    void MarkNotReady(TIOCommand command, TIOPacket& packet);
    void AppendLog(TIOCommand command, const TIOPacket& packet);
    void OpenLog();
    void Deliver(std::uint32_t msgId, const std::function<void()>& call);
    void NotifyDrivers(std::uint32_t flag);

    mutable std::recursive_mutex CommandMutex;
    mutable std::mutex LockMutex;
    mutable std::mutex DriversMutex;
    mutable std::mutex ErrorMutex;
    std::unique_ptr<TCrossEvent> UnlockedEvent;
    std::uint32_t LockedByValue = 0; // guarded by LockMutex
    std::atomic<std::int32_t> Pending{0};
    std::atomic<std::uint32_t> LastPacketIdValue{0};
    std::atomic<std::uint32_t> CurrentDelay{0};
    std::vector<IPortDriverEventNotification*> RegisteredDrivers; // guarded by DriversMutex

    std::atomic<bool> ActiveFlag{false};
    std::atomic<bool> DestroyingFlag{false};
    std::atomic<bool> ClearOnErrors{true};
    std::atomic<std::uint32_t> ReadRetriesValue{3};
    std::atomic<std::uint32_t> WriteRetriesValue{3};
    std::atomic<bool> Exclusive{false};
    std::atomic<std::int64_t> TXBytesValue{0};
    std::atomic<std::int64_t> RXBytesValue{0};
    std::int32_t LastOSErrorNumberValue = 0; // guarded by ErrorMutex
    std::string LastOSErrorMessageValue;     // guarded by ErrorMutex

    std::atomic<bool> LogOn{false};
    std::string LogFileName; // guarded by CommandMutex
    std::unique_ptr<TLogFile> Log;

    std::unique_ptr<TEventNotificationThread> Notifier;
};
