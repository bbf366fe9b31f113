// TProtocolDriver: the base of every protocol driver. It keeps the tags attached for background
// scanning, the link to the communication port, the locks that serialise protocol traffic and the
// two worker threads (scan and update); a concrete driver supplies the protocol through the five
// abstract operations.
//
// Threads: Read, Write, ScanRead, ScanWrite, AttachTag, DetachTag and SetCommunicationPort may be
// called from any thread (in the application: the user-interface thread). The scan thread runs
// ScanReadCycle and queued writes, the update thread answers from the cache (ReadFromCache) and
// delivers results on the user-interface thread; the port's notification thread may run the port
// event handlers.
// Locks, always taken in this order and released in reverse: reset ScanAllowed, CommandLock,
// IoLock. CommandLock makes device transactions exclusive (a scan cycle, a synchronous request, a
// queued write, attaching, a port change); IoLock guards the driver's cache and is all the update
// thread takes. RequestIdLock (request counters) and TagsLock (the attached-tag list) are only
// ever held alone. Both CommandLock and IoLock are recursive, so a tag's handler may issue a
// further request on the same driver.
//
// Life cycle: the most derived class calls StartWorkers() as the last step of its constructor and
// DestroyDriver() as the first step of its destructor (a further subclass, a test's say, calls it
// again first in its own). The workers run from StartWorkers() on, but call no protocol operation
// before the driver's first use from outside (a request, a port change, attaching): by then every
// constructor has finished, however deep the class chain.
#pragma once

#include "modbus/cross_event.h"
#include "modbus/port_driver_event_notification.h"
#include "modbus/protocol_types.h"
#include "modbus/scan_records.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TCommPortDriver;
class TPLCTag;
class TScanThread;
class TScanUpdate;

// The driver's CommandLock and IoLock: recursive ownership locks in the manner of the platform's
// critical sections. Ownership is bookkeeping under a private mutex that is held only for that
// bookkeeping, so a scan cycle may hand IoLock back and take it again inside a port command (under
// the port's own mutex) without the two mutexes ever nesting.
class TDriverLock {
public:
    void lock();
    bool try_lock();
    void unlock();

private:
    std::mutex Mutex;
    std::condition_variable Free;
    std::thread::id Owner; // guarded by Mutex
    int Depth = 0;         // guarded by Mutex
};

class TProtocolDriver : public IPortDriverEventNotification {
public:
    TProtocolDriver();
    TProtocolDriver(const TProtocolDriver&) = delete;
    TProtocolDriver& operator=(const TProtocolDriver&) = delete;
    ~TProtocolDriver() override;

    uint32_t DriverID() const { return FDriverID; }
    double AvgTagUpdateTime() const { return FAvgTagUpdateTime.load(); }
    TCommPortDriver* CommunicationPort() const { return FPort.load(); }
    void SetCommunicationPort(TCommPortDriver* port);
    bool ReadOnly() const { return FReadOnly.load(); }
    void SetReadOnly(bool value) { FReadOnly.exchange(value); }
    bool ReadSomethingAlways() const { return FReadSomethingAlways.load(); }
    void SetReadSomethingAlways(bool value) { FReadSomethingAlways.store(value); }

    // Synchronous requests: the outcome reaches the record's CallBack before they return.
    void Read(const TTagRec& tagRec);
    void Write(const TTagRec& tagRec, const TArrayOfDouble& values);
    // Queued requests; each returns its request number, or 0 when nothing was queued.
    uint32_t ScanRead(const TTagRec& tagRec);
    uint32_t ScanWrite(const TTagRec& tagRec, const TArrayOfDouble& values);

    // Raises EStackError "The IScanableTagInterface Interface isn't supported!" for a tag that
    // cannot be scanned.
    void AttachTag(TPLCTag* tag);
    void DetachTag(TPLCTag* tag);
    bool HasTag(const TPLCTag* tag) const;
    // Whether the tag still names this driver: a tag that went away (or moved to another driver)
    // must not receive the outcome of a request it queued before.
    bool HasUser(const TPLCTag* tag) const;
    int32_t LinkedTagCount() const;
    // Raises EStackError "Out of bounds!" for an index outside the list.
    TPLCTag* LinkedTags(int32_t index) const;

    // Handlers a concrete driver gives the port around a command of its own scan cycle, so that
    // IoLock is free while the port waits for the device.
    void ReleaseIoLock(TCommPortDriver* sender);
    void AcquireIoLock(TCommPortDriver* sender);

    // IPortDriverEventNotification
    uint32_t WantedPortEvents() override { return 0; }
    TPortNotifyEvent GetPortOpenedHandler() override;
    TPortNotifyEvent GetPortClosedHandler() override;
    TPortNotifyEvent GetPortDisconnectedHandler() override;
    void NotifyPortOpened(TCommPortDriver* sender);
    void NotifyPortClosed(TCommPortDriver* sender);
    void NotifyPortDisconnected(TCommPortDriver* sender);
    void PortRemoved(TCommPortDriver* port) override;

    TScanThread& ScanThread() { return *FScanThread; }
    TScanUpdate& UpdateThread() { return *FUpdateThread; }

    // The update thread's OnScanTags: prepares the results of the due tags and returns the
    // milliseconds until the next tag falls due.
    int32_t CollectDueTags(TArrayOfScanUpdateRec& results);

protected:
    virtual void HandlePortOpened(TCommPortDriver*) {}
    virtual void HandlePortClosed(TCommPortDriver*) {}
    virtual void HandlePortDisconnected(TCommPortDriver*) {}
    // Appends the tag (raising EStackError "This Tag already linked with this protocol driver!"
    // when it is listed) and tells it whether it is scanned.
    virtual void InternalAttachTag(TPLCTag* tag, bool scanEnabled);
    virtual void InternalDetachTag(TPLCTag* tag);

    // One background scan step with the locks held; needSleep > 0 asks for that many ms of
    // sleep, < 0 for a yield, 0 to go on at once.
    virtual void ScanReadCycle(TScanThread* sender, int32_t& needSleep) = 0;
    virtual void ReadFromCache(const TTagRec& tagRec, TScanReadRec& values) = 0;
    virtual TProtocolIOResult WriteValues(const TTagRec& tagRec, const TArrayOfDouble& values,
                                          bool synchronous) = 0;
    virtual TProtocolIOResult ReadValues(const TTagRec& tagRec, TArrayOfDouble& values,
                                         bool synchronous) = 0;
    virtual uint8_t ProtocolWordBits(TPLCTag* tag, bool isWrite, TTagType& protocolTagType) = 0;

    void StartWorkers();
    // Stops the worker threads (scan thread first), lets the attached tags go (then any other tag
    // that still names this driver) and leaves the port. Idempotent.
    void DestroyDriver();
    bool Destroying() const { return FDestroying.load(); }
    std::vector<TPLCTag*> LinkedTagList() const;

    // The scan pause of synchronous work: ScanAllowed reset, CommandLock, IoLock; released in
    // reverse order and ScanAllowed set again, also when the work raises.
    class TPauseScan {
    public:
        explicit TPauseScan(TProtocolDriver& driver);
        ~TPauseScan();
        TPauseScan(const TPauseScan&) = delete;
        TPauseScan& operator=(const TPauseScan&) = delete;

    private:
        TProtocolDriver& FDriver;
        std::unique_lock<TDriverLock> FCommand;
        std::unique_lock<TDriverLock> FIo;
    };

    TDriverLock IoLock;
    TDriverLock CommandLock;
    TCrossEvent ScanAllowed{true, true};

private:
    friend class TPLCTag; // asks for its protocol word layout

    // Every tag that names this driver, attached or not, so that none keeps a dangling driver.
    void AddUser(TPLCTag* tag);
    void RemoveUser(TPLCTag* tag);

    void LockedScanRead(TScanThread* sender, int32_t& needSleep);
    TProtocolIOResult LockedScanWrite(const TTagRec& tagRec, const TArrayOfDouble& values);
    void LockedGetValue(const TTagRec& tagRec, TScanReadRec& values);
    // The object is complete: the workers may call its protocol operations from now on.
    void Arm() { FArmed.store(true, std::memory_order_release); }
    bool Armed() const { return FArmed.load(std::memory_order_acquire); }
    void ResetScanAllowed();
    void SetScanAllowedAgain();
    uint32_t NextRequestId(uint32_t& counter);
    TPortNotifyEvent PausedHandler(void (TProtocolDriver::*handler)(TCommPortDriver*));

    const uint32_t FDriverID;
    std::atomic<double> FAvgTagUpdateTime{0};
    std::atomic<TCommPortDriver*> FPort{nullptr};
    std::atomic<bool> FReadOnly{false};
    std::atomic<bool> FReadSomethingAlways{true};
    std::atomic<bool> FDestroying{false};
    std::atomic<bool> FArmed{false};
    bool FDestroyed = false;
    mutable std::mutex TagsLock;
    std::vector<TPLCTag*> FLinkedTags; // guarded by TagsLock; changed only under the scan pause
    std::vector<TPLCTag*> FUsers;      // guarded by TagsLock
    std::mutex RequestIdLock;
    uint32_t FScanReadCounter = 0;  // guarded by RequestIdLock
    uint32_t FScanWriteCounter = 0; // guarded by RequestIdLock
    std::unique_ptr<TScanUpdate> FUpdateThread;
    std::unique_ptr<TScanThread> FScanThread;
};
