#include "modbus/plc_tag.h"

#include "modbus/protocol_driver.h"
#include "modbus/tag_manager.h"

#include <limits>
#include <stdexcept>

namespace {

int32_t RequestField(uint32_t value) {
    if (value > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
        throw std::range_error("Range check error: an address part exceeds 2147483647");
    return static_cast<int32_t>(value);
}

} // namespace

TPLCTag::TPLCTag(TTagMananger* manager)
    : FManager(manager ? manager : &TTagMananger::Instance()), FValueTimestamp(Now()),
      FLastScanTime(Now()) {}

TPLCTag::~TPLCTag() {
    ShutdownTag();
}

void TPLCTag::ShutdownTag() {
    if (FShutDown)
        return;
    FShutDown = true;
    SetDestroying();
    DropDriver();
    if (FRegistered && FManager)
        FManager->UnregisterTag(this);
    FRegistered = false;
    DropQueuedChanges();
}

void TPLCTag::Loaded() {
    TProtocolDriver* pending = FPendingDriver;
    FPendingDriver = nullptr;
    SetProtocolDriver(pending);
    if (FProtocolDriver) {
        RebuildRawValues();
    } else {
        FLayout.WordBits = 1;
        FLayout.ElementBits = FLayout.WordBits;
        ResizeRawValues();
    }
    if (FManager) {
        FManager->RegisterTag(this);
        FRegistered = true;
    }
}

void TPLCTag::ForgetManager() {
    FManager = nullptr;
    FRegistered = false;
}

void TPLCTag::ReAttach(const std::function<void()>& change) {
    if (FProtocolDriver && FAutoRead)
        FProtocolDriver->DetachTag(this);
    change();
    if (FProtocolDriver && FAutoRead)
        FProtocolDriver->AttachTag(this);
}

void TPLCTag::Refresh() {
    if (!Loading())
        RefreshProtocolLayout();
}

// Rack, slot, station and file name the device, so the driver re-plans before the layout changes.
#define PLC_TAG_SETTER_ATTACH_THEN_REFRESH(Name)                                                   \
    void TPLCTag::Set##Name(uint32_t value) {                                                      \
        if (value == F##Name)                                                                      \
            return;                                                                                \
        ReAttach([&] { F##Name = value; });                                                        \
        Refresh();                                                                                 \
    }
PLC_TAG_SETTER_ATTACH_THEN_REFRESH(PLCRack)
PLC_TAG_SETTER_ATTACH_THEN_REFRESH(PLCSlot)
PLC_TAG_SETTER_ATTACH_THEN_REFRESH(PLCStation)
PLC_TAG_SETTER_ATTACH_THEN_REFRESH(MemFile_DB)
#undef PLC_TAG_SETTER_ATTACH_THEN_REFRESH

// Address and functions decide the word layout, which the driver needs when it registers the tag.
#define PLC_TAG_SETTER_REFRESH_THEN_ATTACH(Name)                                                   \
    void TPLCTag::Set##Name(uint32_t value) {                                                      \
        if (value == F##Name)                                                                      \
            return;                                                                                \
        ReAttach([&] {                                                                             \
            F##Name = value;                                                                       \
            Refresh();                                                                             \
        });                                                                                        \
    }
PLC_TAG_SETTER_REFRESH_THEN_ATTACH(MemAddress)
PLC_TAG_SETTER_REFRESH_THEN_ATTACH(MemSubElement)
PLC_TAG_SETTER_REFRESH_THEN_ATTACH(MemReadFunction)
PLC_TAG_SETTER_REFRESH_THEN_ATTACH(MemWriteFunction)
#undef PLC_TAG_SETTER_REFRESH_THEN_ATTACH

void TPLCTag::SetLongAddress(const std::string& value) {
    if (value == FLongAddress)
        return;
    ReAttach([&] {
        FLongAddress = value;
        Refresh();
    });
}

void TPLCTag::SetRefreshTime(int32_t value) {
    if (value == RefreshTime())
        return;
    if (value < 1)
        throw std::out_of_range("RefreshTime must lie between 1 and 2147483647!");
    ReAttach([&] { TTag::SetRefreshTime(value); });
}

void TPLCTag::SetAutoRead(bool value) {
    if (value == FAutoRead)
        return;
    FAutoRead = value;
    if (!FProtocolDriver)
        return;
    if (value) {
        FLastScanTime.store(Now());
        FProtocolDriver->AttachTag(this);
    } else {
        FProtocolDriver->DetachTag(this);
    }
}

void TPLCTag::SetAutoWrite(bool value) {
    FAutoWrite = value;
}

void TPLCTag::SetProtocolDriver(TProtocolDriver* value) {
    if (Loading()) {
        FPendingDriver = value;
        return;
    }
    if (value == FProtocolDriver)
        return;
    if (FProtocolDriver && FAutoRead)
        FProtocolDriver->DetachTag(this);
    if (FProtocolDriver)
        FProtocolDriver->RemoveUser(this);
    FProtocolDriver = nullptr;
    if (!value)
        return;
    FProtocolDriver = value;
    FProtocolDriver->AddUser(this);
    RefreshProtocolLayout();
    if (FAutoRead)
        FProtocolDriver->AttachTag(this);
}

void TPLCTag::SetTagType(TTagType value) {
    if (value == FLayout.TagType)
        return;
    ReAttach([&] {
        FLayout.TagType = value;
        if (!Loading()) {
            RebuildRawValues();
            ReprocessRawValues();
        }
    });
}

#define PLC_TAG_SWAP_SETTER(Name)                                                                  \
    void TPLCTag::Set##Name(bool value) {                                                          \
        if (value == FLayout.Name)                                                                 \
            return;                                                                                \
        FLayout.Name = value;                                                                      \
        ReprocessRawValues();                                                                      \
    }
PLC_TAG_SWAP_SETTER(SwapBytes)
PLC_TAG_SWAP_SETTER(SwapWords)
PLC_TAG_SWAP_SETTER(SwapDWords)
#undef PLC_TAG_SWAP_SETTER

void TPLCTag::RefreshProtocolLayout() {
    if (!FProtocolDriver) {
        FLayout.WordBits = 1;
        return;
    }
    TTagType protocolType = FLayout.ProtocolTagType;
    const uint8_t bits = FProtocolDriver->ProtocolWordBits(this, false, protocolType);
    FLayout.WordBits = bits == 0 ? 1 : bits; // a word of no bits would divide by zero below
    FLayout.ProtocolTagType = protocolType;
    if (FLayout.TagType == pttDefault)
        FLayout.ElementBits = FLayout.WordBits;
    RebuildRawValues();
}

void TPLCTag::RebuildRawValues() {
    if (FProtocolDriver)
        ResizeRawValues();
}

void TPLCTag::ResizeRawValues() {
    FLayout.ElementBits = TagTypeBits(FLayout.TagType, FLayout.WordBits);
    const uint64_t eb = FLayout.ElementBits;
    const uint64_t wb = FLayout.WordBits;
    const uint64_t size = ElementCount();
    const uint64_t words = eb >= wb ? size * (eb / wb) : (eb * size + wb - 1) / wb;
    if (words != FRawValues.size())
        FRawValues.resize(words, 0.0);
}

void TPLCTag::ReprocessRawValues() {
    const TArrayOfDouble raw = FRawValues;
    CommandResultCallBack(raw, ValueTimestamp(), tcInternalUpdate, ioOk, 0);
}

bool TPLCTag::OwnsCallBack(const TTagCommandCallBack& callBack) const {
    return callBack.Target == this;
}

int64_t TPLCTag::TimeToNextValueRefresh() const {
    return RefreshTime() - MillisecondsBetween(FValueTimestamp.load(), Now());
}

int64_t TPLCTag::TimeToNextScan() const {
    return RefreshTime() - MillisecondsBetween(FLastScanTime.load(), Now());
}

double TPLCTag::AvgUpdateRate() const {
    if (FUpdateCount == 0)
        return -1;
    return static_cast<double>(FUpdateTimeSum) / static_cast<double>(FUpdateCount);
}

void TPLCTag::FillTagRec(TTagRec& tagRec, int32_t count, int32_t offset) const {
    tagRec.PLCRack = RequestField(FPLCRack);
    tagRec.PLCSlot = RequestField(FPLCSlot);
    tagRec.PLCStation = RequestField(FPLCStation);
    tagRec.MemFile_DB = RequestField(FMemFile_DB);
    tagRec.MemAddress = RequestField(FMemAddress);
    tagRec.MemSubElement = RequestField(FMemSubElement);
    const int64_t n = count == 0 ? int64_t{ElementCount()} : count;
    const TWordSpan span = WordSpanOf(FLayout, n, offset);
    tagRec.WordCount = span.WordCount;
    tagRec.WordOffset = span.WordOffset;
    tagRec.OffSet = offset;
    tagRec.LongAddress = FLongAddress;
    tagRec.MemReadFunction = RequestField(FMemReadFunction);
    tagRec.MemWriteFunction = RequestField(FMemWriteFunction);
    tagRec.Retries = RequestField(FRetries.load());
    tagRec.RefreshTime = RefreshTime();
    tagRec.CallBack = {const_cast<TPLCTag*>(this), &TPLCTag::CommandResultCallBack};
}

TArrayOfDouble TPLCTag::RawToTagValues(const TArrayOfDouble& values, int32_t offset) const {
    return ::RawToTagValues(FLayout, values, offset);
}

TArrayOfDouble TPLCTag::TagToRawValues(const TArrayOfDouble& values, int32_t offset) const {
    return ::TagToRawValues(FLayout, FRawValues, values, offset);
}

void TPLCTag::UpdateRateStatistics(TTagCommand command, TProtocolIOResult result,
                                   TDateTime valuesTimeStamp) {
    const TDateTime current = FValueTimestamp.load();
    if (FFirstUpdate || command != tcScanRead || result != ioOk || valuesTimeStamp == current)
        return;
    FUpdateTimeSum += MillisecondsBetween(current, valuesTimeStamp);
    ++FUpdateCount;
}

void TPLCTag::StoreResultWords(const TArrayOfDouble& values, int32_t offset) {
    const int64_t start = FirstWordOf(FLayout, offset);
    for (size_t i = 0; i < values.size(); ++i) {
        const int64_t index = start + static_cast<int64_t>(i);
        if (index < 0 || index >= static_cast<int64_t>(FRawValues.size()))
            break;
        FRawValues[static_cast<size_t>(index)] = values[i];
    }
}

void TPLCTag::CommandResultCallBack(const TArrayOfDouble& values, TDateTime valuesTimeStamp,
                                    TTagCommand tagCommand, TProtocolIOResult lastResult,
                                    int32_t offSet) {
    UpdateRateStatistics(tagCommand, lastResult, valuesTimeStamp);
    if (tagCommand == tcScanRead)
        FLastScanTime.store(Now());
    if (lastResult == ioOk)
        FFirstUpdate = false;
    if (lastResult == ioOk || lastResult == ioNullDriver)
        StoreResultWords(values, offSet);
}

void TPLCTag::StoreStatus(TTagCommand command, TProtocolIOResult result) {
    switch (command) {
    case tcScanRead:
        FLastASyncReadStatus = result;
        break;
    case tcScanWrite:
        FLastASyncWriteStatus = result;
        break;
    case tcRead:
        FLastSyncReadStatus = result;
        break;
    case tcWrite:
        FLastSyncWriteStatus = result;
        break;
    case tcInternalUpdate:
        break;
    }
}

void TPLCTag::DropDriver() {
    if (!FProtocolDriver)
        return;
    if (FProtocolDriver->HasTag(this))
        FProtocolDriver->DetachTag(this);
    FProtocolDriver->RemoveUser(this);
    FProtocolDriver = nullptr;
}

void TPLCTag::RenewTagGUID() {
    AssignTagGUID(NewTagGUID());
}
