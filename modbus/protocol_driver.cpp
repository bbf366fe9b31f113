#include "modbus/protocol_driver.h"

#include "modbus/comm_port_driver.h"
#include "modbus/cross_thread.h"
#include "modbus/io_types.h"
#include "modbus/plc_tag.h"
#include "modbus/scan_thread.h"
#include "modbus/scan_update.h"

#include <algorithm>
#include <limits>

namespace {

std::atomic<uint32_t> NextDriverID{1};

} // namespace

void TDriverLock::lock() {
    std::unique_lock lock(Mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (Depth > 0 && Owner == self) {
        ++Depth;
        return;
    }
    Free.wait(lock, [this] { return Depth == 0; });
    Owner = self;
    Depth = 1;
}

bool TDriverLock::try_lock() {
    std::lock_guard lock(Mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (Depth > 0 && Owner != self)
        return false;
    Owner = self;
    ++Depth;
    return true;
}

void TDriverLock::unlock() {
    {
        std::lock_guard lock(Mutex);
        if (Depth == 0 || --Depth > 0)
            return;
        Owner = std::thread::id();
    }
    Free.notify_one();
}

TProtocolDriver::TPauseScan::TPauseScan(TProtocolDriver& driver)
    : FDriver(driver), FCommand(driver.CommandLock, std::defer_lock),
      FIo(driver.IoLock, std::defer_lock) {
    FDriver.Arm();
    FDriver.ResetScanAllowed();
    FCommand.lock();
    FIo.lock();
}

TProtocolDriver::TPauseScan::~TPauseScan() {
    FIo.unlock();
    FCommand.unlock();
    FDriver.SetScanAllowedAgain();
}

TProtocolDriver::TProtocolDriver() : FDriverID(NextDriverID.fetch_add(1)) {
    FUpdateThread = std::make_unique<TScanUpdate>(
        [this](double averageMs) { FAvgTagUpdateTime.store(averageMs); }, this);
    FUpdateThread->SetPriority(tpHighest);
    FUpdateThread->OnGetValue = [this](const TTagRec& tagRec, TScanReadRec& values) {
        LockedGetValue(tagRec, values);
    };
    FUpdateThread->OnScanTags = [this](TArrayOfScanUpdateRec& results) {
        return CollectDueTags(results);
    };
    FScanThread = std::make_unique<TScanThread>(FUpdateThread.get());
    FScanThread->SetPriority(tpTimeCritical);
    FScanThread->OnDoScanRead = [this](TScanThread* sender, int32_t& needSleep) {
        LockedScanRead(sender, needSleep);
    };
    FScanThread->OnDoScanWrite = [this](const TTagRec& tagRec, const TArrayOfDouble& values) {
        return LockedScanWrite(tagRec, values);
    };
}

TProtocolDriver::~TProtocolDriver() {
    DestroyDriver();
}

void TProtocolDriver::StartWorkers() {
    if (FDestroying.load() || FScanThread->Started())
        return;
    FUpdateThread->Start();
    FScanThread->Start();
    FScanThread->WaitInit();
}

void TProtocolDriver::DestroyDriver() {
    if (FDestroyed)
        return;
    FDestroyed = true;
    FDestroying.store(true);
    FScanThread->StopAndWait();
    FUpdateThread->StopAndWait();
    std::vector<TPLCTag*> tags = LinkedTagList();
    for (auto it = tags.rbegin(); it != tags.rend(); ++it)
        (*it)->DropDriver();
    std::vector<TPLCTag*> users;
    {
        std::lock_guard lock(TagsLock);
        users = FUsers;
    }
    for (TPLCTag* tag : users)
        tag->DropDriver();
    SetCommunicationPort(nullptr);
}

void TProtocolDriver::ResetScanAllowed() {
    while (!ScanAllowed.ResetEvent())
        TCrossThread::Yield();
}

void TProtocolDriver::SetScanAllowedAgain() {
    while (!ScanAllowed.SetEvent())
        TCrossThread::Yield();
}

void TProtocolDriver::SetCommunicationPort(TCommPortDriver* port) {
    TPauseScan pause(*this);
    TCommPortDriver* current = FPort.load();
    if (port == current)
        return;
    if (current) {
        if (current->LockedBy() == FDriverID)
            current->Unlock(FDriverID);
        current->RemoveProtocolDriver(this);
    }
    if (port)
        port->AddProtocolDriver(this);
    FPort.store(port);
}

void TProtocolDriver::Read(const TTagRec& tagRec) {
    TPauseScan pause(*this);
    TArrayOfDouble values;
    const TProtocolIOResult result = ReadValues(tagRec, values, true);
    if (tagRec.CallBack)
        tagRec.CallBack(values, Now(), tcRead, result, tagRec.OffSet);
}

void TProtocolDriver::Write(const TTagRec& tagRec, const TArrayOfDouble& values) {
    if (ReadOnly()) {
        if (tagRec.CallBack)
            tagRec.CallBack(values, Now(), tcWrite, ioReadOnlyProtocol, tagRec.OffSet);
        return;
    }
    TPauseScan pause(*this);
    const TProtocolIOResult result = WriteValues(tagRec, values, true);
    if (tagRec.CallBack)
        tagRec.CallBack(values, Now(), tcWrite, result, tagRec.OffSet);
}

uint32_t TProtocolDriver::NextRequestId(uint32_t& counter) {
    counter = counter == std::numeric_limits<uint32_t>::max() ? 0 : counter + 1;
    return counter;
}

uint32_t TProtocolDriver::ScanRead(const TTagRec& tagRec) {
    Arm();
    std::lock_guard lock(RequestIdLock);
    if (FDestroying.load())
        return 0;
    const uint32_t id = NextRequestId(FScanReadCounter);
    FUpdateThread->PostRead(tagRec);
    return id;
}

uint32_t TProtocolDriver::ScanWrite(const TTagRec& tagRec, const TArrayOfDouble& values) {
    Arm();
    if (ReadOnly()) {
        if (tagRec.CallBack)
            tagRec.CallBack(values, Now(), tcScanWrite, ioReadOnlyProtocol, tagRec.OffSet);
        return 0;
    }
    std::lock_guard lock(RequestIdLock);
    if (FDestroying.load())
        return 0;
    const uint32_t id = NextRequestId(FScanWriteCounter);
    auto writeRec = std::make_shared<TScanWriteRec>();
    writeRec->RequestId = id;
    writeRec->Tag = tagRec;
    writeRec->Values = values;
    writeRec->ValueTimeStamp = Now();
    FScanThread->PostWrite(std::move(writeRec));
    TCrossThread::Yield();
    return id;
}

void TProtocolDriver::AttachTag(TPLCTag* tag) {
    if (dynamic_cast<IScanableTagInterface*>(tag) == nullptr)
        throw EStackError("The IScanableTagInterface Interface isn't supported!");
    TPauseScan pause(*this);
    InternalAttachTag(tag, false);
}

void TProtocolDriver::DetachTag(TPLCTag* tag) {
    TPauseScan pause(*this);
    InternalDetachTag(tag);
}

void TProtocolDriver::InternalAttachTag(TPLCTag* tag, bool scanEnabled) {
    {
        std::lock_guard lock(TagsLock);
        if (std::find(FLinkedTags.begin(), FLinkedTags.end(), tag) != FLinkedTags.end())
            throw EStackError("This Tag already linked with this protocol driver!");
        FLinkedTags.push_back(tag);
    }
    dynamic_cast<IScanableTagInterface*>(tag)->SetScanEnabled(scanEnabled);
}

void TProtocolDriver::InternalDetachTag(TPLCTag* tag) {
    {
        std::lock_guard lock(TagsLock);
        auto it = std::find(FLinkedTags.begin(), FLinkedTags.end(), tag);
        if (it == FLinkedTags.end())
            return;
        FLinkedTags.erase(it);
    }
    if (auto* scanable = dynamic_cast<IScanableTagInterface*>(tag))
        scanable->SetScanEnabled(false);
    else
        tag->SetScanEnabled(false);
}

bool TProtocolDriver::HasTag(const TPLCTag* tag) const {
    std::lock_guard lock(TagsLock);
    return std::find(FLinkedTags.begin(), FLinkedTags.end(), tag) != FLinkedTags.end();
}

int32_t TProtocolDriver::LinkedTagCount() const {
    std::lock_guard lock(TagsLock);
    return static_cast<int32_t>(FLinkedTags.size());
}

TPLCTag* TProtocolDriver::LinkedTags(int32_t index) const {
    std::lock_guard lock(TagsLock);
    if (index < 0 || static_cast<size_t>(index) >= FLinkedTags.size())
        throw EStackError("Out of bounds!");
    return FLinkedTags[static_cast<size_t>(index)];
}

void TProtocolDriver::AddUser(TPLCTag* tag) {
    std::lock_guard lock(TagsLock);
    if (std::find(FUsers.begin(), FUsers.end(), tag) == FUsers.end())
        FUsers.push_back(tag);
}

bool TProtocolDriver::HasUser(const TPLCTag* tag) const {
    std::lock_guard lock(TagsLock);
    return std::find(FUsers.begin(), FUsers.end(), tag) != FUsers.end();
}

void TProtocolDriver::RemoveUser(TPLCTag* tag) {
    std::lock_guard lock(TagsLock);
    FUsers.erase(std::remove(FUsers.begin(), FUsers.end(), tag), FUsers.end());
}

std::vector<TPLCTag*> TProtocolDriver::LinkedTagList() const {
    std::lock_guard lock(TagsLock);
    return FLinkedTags;
}

void TProtocolDriver::ReleaseIoLock(TCommPortDriver*) {
    IoLock.unlock();
}

void TProtocolDriver::AcquireIoLock(TCommPortDriver*) {
    IoLock.lock();
}

TPortNotifyEvent
TProtocolDriver::PausedHandler(void (TProtocolDriver::*handler)(TCommPortDriver*)) {
    return [this, handler](TCommPortDriver* sender) {
        TPauseScan pause(*this);
        (this->*handler)(sender);
    };
}

TPortNotifyEvent TProtocolDriver::GetPortOpenedHandler() {
    return PausedHandler(&TProtocolDriver::HandlePortOpened);
}

TPortNotifyEvent TProtocolDriver::GetPortClosedHandler() {
    return PausedHandler(&TProtocolDriver::HandlePortClosed);
}

TPortNotifyEvent TProtocolDriver::GetPortDisconnectedHandler() {
    return PausedHandler(&TProtocolDriver::HandlePortDisconnected);
}

void TProtocolDriver::NotifyPortOpened(TCommPortDriver* sender) {
    GetPortOpenedHandler()(sender);
}

void TProtocolDriver::NotifyPortClosed(TCommPortDriver* sender) {
    GetPortClosedHandler()(sender);
}

void TProtocolDriver::NotifyPortDisconnected(TCommPortDriver* sender) {
    GetPortDisconnectedHandler()(sender);
}

void TProtocolDriver::PortRemoved(TCommPortDriver* port) {
    if (port != nullptr && port == FPort.load())
        SetCommunicationPort(nullptr);
}

void TProtocolDriver::LockedScanRead(TScanThread* sender, int32_t& needSleep) {
    if (!Armed()) {
        needSleep = 1; // not used yet: nothing to scan, and the object may still be under way
        return;
    }
    // Waits in short steps so that a stop is noticed while another thread holds the pause.
    while (ScanAllowed.WaitFor(1) != wrSignaled)
        if (FDestroying.load() || (sender && sender->Terminated()))
            return;
    {
        std::lock_guard command(CommandLock);
        std::lock_guard io(IoLock);
        ScanReadCycle(sender, needSleep);
    }
    TCrossThread::Yield();
}

TProtocolIOResult TProtocolDriver::LockedScanWrite(const TTagRec& tagRec,
                                                   const TArrayOfDouble& values) {
    if (ReadOnly())
        return ioReadOnlyProtocol;
    TPauseScan pause(*this);
    return WriteValues(tagRec, values, false);
}

void TProtocolDriver::LockedGetValue(const TTagRec& tagRec, TScanReadRec& values) {
    ResetScanAllowed();
    {
        std::lock_guard io(IoLock);
        ReadFromCache(tagRec, values);
    }
    SetScanAllowedAgain();
}

int32_t TProtocolDriver::CollectDueTags(TArrayOfScanUpdateRec& results) {
    int32_t result = 0;
    bool anyDue = false;
    ResetScanAllowed();
    {
        std::lock_guard io(IoLock);
        TCommPortDriver* port = FPort.load();
        if (FDestroying.load()) {
            result = 0;
        } else if (port == nullptr || !port->IsPortReady()) {
            result = 50;
        } else {
            bool positiveMet = false;
            for (TPLCTag* tag : LinkedTagList()) {
                auto* scanable = dynamic_cast<IScanableTagInterface*>(tag);
                if (scanable == nullptr || !scanable->IsScanEnabled())
                    continue;
                const int64_t remaining = ReadSomethingAlways() ? scanable->TimeToNextValueRefresh()
                                                                : scanable->TimeToNextScan();
                if (remaining > 0) {
                    const auto clipped = static_cast<int32_t>(
                        std::min<int64_t>(remaining, std::numeric_limits<int32_t>::max()));
                    result = positiveMet ? std::min(result, clipped) : clipped;
                    positiveMet = true;
                    continue;
                }
                anyDue = true;
                TTagRec tagRec;
                scanable->FillTagRec(tagRec, 0, 0);
                TScanReadRec cached;
                cached.Values.resize(static_cast<size_t>(std::max(tagRec.WordCount, 0)));
                ReadFromCache(tagRec, cached);
                results.push_back(
                    {tagRec.CallBack, cached.ValuesTimeStamp, cached.ReadResult, cached.Values});
            }
        }
    }
    if (anyDue)
        result = 0;
    SetScanAllowedAgain();
    return result;
}
