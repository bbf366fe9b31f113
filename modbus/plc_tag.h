// TPLCTag: a tag that names a piece of device memory, talks to it through its protocol driver and
// keeps the raw protocol words of the last transfer next to their translation into elements.
//
// Threads: everything runs on the user-interface thread, except that the driver's update thread
// calls TimeToNextValueRefresh, TimeToNextScan, IsScanEnabled and FillTagRec while it holds the
// driver's IoLock. Those read either atomics or fields that change only while the tag is detached
// from its driver (address parts, type, size).
#pragma once

#include "modbus/protocol_types.h"
#include "modbus/tag.h"
#include "modbus/tag_value_codec.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class TProtocolDriver;
class TTagMananger;

class TPLCTag : public TTag, public ITagIdentity {
public:
    explicit TPLCTag(TTagMananger* manager = nullptr);
    ~TPLCTag() override;

    TProtocolIOResult LastSyncReadStatus() const { return FLastSyncReadStatus; }
    TProtocolIOResult LastSyncWriteStatus() const { return FLastSyncWriteStatus; }
    TProtocolIOResult LastASyncReadStatus() const { return FLastASyncReadStatus; }
    TProtocolIOResult LastASyncWriteStatus() const { return FLastASyncWriteStatus; }

    bool AutoRead() const { return FAutoRead; }
    virtual void SetAutoRead(bool value);
    bool AutoWrite() const { return FAutoWrite; }
    virtual void SetAutoWrite(bool value);

    uint32_t PLCRack() const { return FPLCRack; }
    virtual void SetPLCRack(uint32_t value);
    uint32_t PLCSlot() const { return FPLCSlot; }
    virtual void SetPLCSlot(uint32_t value);
    uint32_t PLCStation() const { return FPLCStation; }
    virtual void SetPLCStation(uint32_t value);
    uint32_t MemFile_DB() const { return FMemFile_DB; }
    virtual void SetMemFile_DB(uint32_t value);
    uint32_t MemAddress() const { return FMemAddress; }
    virtual void SetMemAddress(uint32_t value);
    uint32_t MemSubElement() const { return FMemSubElement; }
    virtual void SetMemSubElement(uint32_t value);
    uint32_t MemReadFunction() const { return FMemReadFunction; }
    virtual void SetMemReadFunction(uint32_t value);
    uint32_t MemWriteFunction() const { return FMemWriteFunction; }
    virtual void SetMemWriteFunction(uint32_t value);
    const std::string& LongAddress() const { return FLongAddress; }
    virtual void SetLongAddress(const std::string& value);
    uint32_t Retries() const { return FRetries.load(); }
    void SetRetries(uint32_t value) { FRetries.store(value); }
    void SetRefreshTime(int32_t value) override;

    TProtocolDriver* ProtocolDriver() const { return FProtocolDriver; }
    virtual void SetProtocolDriver(TProtocolDriver* value);

    TTagType TagType() const { return FLayout.TagType; }
    virtual void SetTagType(TTagType value);
    bool SwapBytes() const { return FLayout.SwapBytes; }
    virtual void SetSwapBytes(bool value);
    bool SwapWords() const { return FLayout.SwapWords; }
    virtual void SetSwapWords(bool value);
    bool SwapDWords() const { return FLayout.SwapDWords; }
    virtual void SetSwapDWords(bool value);
    bool SyncWrites() const { return FSyncWrites; }
    void SetSyncWrites(bool value) { FSyncWrites = value; }

    TDateTime ValueTimestamp() const { return FValueTimestamp.load(); }
    int32_t TagSizeOnProtocol() const { return static_cast<int32_t>(FRawValues.size()); }
    double AvgUpdateRate() const;
    bool Modified() const { return FModified; }

    const TArrayOfDouble& RawValues() const { return FRawValues; }
    uint8_t WordBits() const { return FLayout.WordBits; }
    uint8_t ElementBits() const { return FLayout.ElementBits; }
    TTagType ProtocolTagType() const { return FLayout.ProtocolTagType; }
    // Number of elements; 1 for a single-value tag.
    virtual uint32_t ElementCount() const { return 1; }

    // Scanning, as the driver sees it (IScanableTagInterface in the block classes).
    virtual bool OwnsCallBack(const TTagCommandCallBack& callBack) const;
    virtual int64_t TimeToNextValueRefresh() const;
    virtual int64_t TimeToNextScan() const;
    virtual bool IsScanEnabled() const { return FScanEnabled.load(); }
    virtual void SetScanEnabled(bool value) { FScanEnabled.store(value); }
    // Raises std::range_error when an address part does not fit a request's 32-bit signed field.
    void FillTagRec(TTagRec& tagRec, int32_t count, int32_t offset) const;

    virtual TArrayOfDouble RawToTagValues(const TArrayOfDouble& values, int32_t offset) const;
    virtual TArrayOfDouble TagToRawValues(const TArrayOfDouble& values, int32_t offset) const;
    virtual void RebuildRawValues();
    virtual void ReprocessRawValues();
    void RefreshProtocolLayout();

    // Receives the outcome of every request of this tag.
    virtual void CommandResultCallBack(const TArrayOfDouble& values, TDateTime valuesTimeStamp,
                                       TTagCommand tagCommand, TProtocolIOResult lastResult,
                                       int32_t offSet);
    TTagCommandCallBack CallBack() { return {this, &TPLCTag::CommandResultCallBack}; }

    virtual void ScanRead() {}
    virtual void ScanWrite(const TArrayOfDouble& values, uint32_t count, uint32_t offset) = 0;
    virtual void Read() = 0;
    virtual void Write(const TArrayOfDouble& values, uint32_t count, uint32_t offset) = 0;

    // The driver goes away: detach when attached and forget it.
    void DropDriver();
    void RenewTagGUID() override;
    // The registry goes away before the tag.
    void ForgetManager();

protected:
    void Loaded() override;
    // Detaches from the driver, unregisters and drops queued calls. The most derived class calls
    // it first in its destructor, while the tag is still whole for the driver; idempotent.
    void ShutdownTag();
    // Runs `change` between a detach from and a re-attach to the driver (when AutoRead).
    void ReAttach(const std::function<void()>& change);
    void Refresh();
    void StoreResultWords(const TArrayOfDouble& values, int32_t offset);
    void SetValueTimestamp(TDateTime value) { FValueTimestamp.store(value); }
    void SetModified(bool value) { FModified = value; }
    void StoreStatus(TTagCommand command, TProtocolIOResult result);
    const TTagLayout& Layout() const { return FLayout; }

    TArrayOfDouble FRawValues{0.0};

private:
    void ResizeRawValues();
    void UpdateRateStatistics(TTagCommand command, TProtocolIOResult result,
                              TDateTime valuesTimeStamp);

    TTagMananger* FManager;
    bool FRegistered = false;
    bool FShutDown = false;
    TProtocolIOResult FLastSyncReadStatus = ioNone;
    TProtocolIOResult FLastSyncWriteStatus = ioNone;
    TProtocolIOResult FLastASyncReadStatus = ioNone;
    TProtocolIOResult FLastASyncWriteStatus = ioNone;
    bool FAutoRead = true;
    bool FAutoWrite = true;
    uint32_t FPLCRack = 0;
    uint32_t FPLCSlot = 0;
    uint32_t FPLCStation = 0;
    uint32_t FMemFile_DB = 0;
    uint32_t FMemAddress = 0;
    uint32_t FMemSubElement = 0;
    uint32_t FMemReadFunction = 0;
    uint32_t FMemWriteFunction = 0;
    std::string FLongAddress;
    std::atomic<uint32_t> FRetries{1};
    TProtocolDriver* FProtocolDriver = nullptr;
    TProtocolDriver* FPendingDriver = nullptr;
    bool FSyncWrites = false;
    TTagLayout FLayout;
    std::atomic<TDateTime> FValueTimestamp;
    std::atomic<TDateTime> FLastScanTime;
    std::atomic<bool> FScanEnabled{false};
    bool FModified = false;
    bool FFirstUpdate = true;
    int64_t FUpdateTimeSum = 0;
    int64_t FUpdateCount = 0;
};
