#include "modbus/plc_block.h"

#include "modbus/io_types.h"
#include "modbus/protocol_driver.h"

#include <cmath>

TPLCBlock::TPLCBlock(TTagMananger* manager) : TTagBlock(manager) {}

TPLCBlock::~TPLCBlock() {
    ShutdownTag();
}

void TPLCBlock::SetSize(uint32_t value) {
    if (value == 0 || value == FSize)
        return;
    ReAttach([&] {
        FSize = value;
        FElementValues.resize(value, 0.0);
        if (!Loading())
            RefreshProtocolLayout();
    });
}

double TPLCBlock::Elements(int32_t index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= FSize)
        throw EStackError("Out of bounds!");
    return FElementValues[static_cast<size_t>(index)];
}

void TPLCBlock::SetElements(int32_t index, double value) {
    if (index < 0 || static_cast<uint32_t>(index) >= FSize)
        throw EStackError("Out of bounds!");
    SetModified(true);
    if (SyncWrites())
        Write({value}, 1, static_cast<uint32_t>(index));
    else
        ScanWrite({value}, 1, static_cast<uint32_t>(index));
}

void TPLCBlock::WriteElements() {
    Write(FElementValues, FSize, 0);
}

void TPLCBlock::ScanWrite(const TArrayOfDouble& values, uint32_t count, uint32_t offset) {
    TTagBlock::ScanWrite(TagToRawValues(values, static_cast<int32_t>(offset)), count, offset);
}

void TPLCBlock::Write(const TArrayOfDouble& values, uint32_t count, uint32_t offset) {
    TTagBlock::Write(TagToRawValues(values, static_cast<int32_t>(offset)), count, offset);
}

bool TPLCBlock::OwnsCallBack(const TTagCommandCallBack& callBack) const {
    return TPLCTag::OwnsCallBack(callBack) && callBack.Method == &TPLCTag::CommandResultCallBack;
}

// Copies decoded elements in place from `offset`; elements past the block's end (the rest of a
// last, partly used protocol word) are ignored. Returns whether any element changed.
bool TPLCBlock::StoreElements(const TArrayOfDouble& elements, int32_t offset) {
    bool changed = false;
    for (size_t i = 0; i < elements.size(); ++i) {
        const int64_t index = int64_t{offset} + static_cast<int64_t>(i);
        if (index < 0 || index >= static_cast<int64_t>(FElementValues.size()))
            break;
        double& element = FElementValues[static_cast<size_t>(index)];
        if (std::isnan(element) || std::isnan(elements[i]) || element != elements[i])
            changed = true;
        element = elements[i];
    }
    return changed;
}

void TPLCBlock::ProcessReadResult(const TArrayOfDouble& elements, TDateTime valuesTimeStamp,
                                  TTagCommand tagCommand, TProtocolIOResult lastResult,
                                  int32_t offSet, bool& changed) {
    if (lastResult == ioOk || lastResult == ioNullDriver) {
        changed = StoreElements(elements, offSet);
        SetValueTimestamp(valuesTimeStamp);
        if (tagCommand != tcInternalUpdate && lastResult == ioOk) {
            IncCommReadsOK();
            SetModified(false);
        }
    } else if (tagCommand != tcInternalUpdate) {
        IncCommReadErrors();
    }
}

void TPLCBlock::ProcessWriteResult(const TArrayOfDouble& elements, TDateTime valuesTimeStamp,
                                   TProtocolIOResult lastResult, int32_t offSet, bool& changed) {
    if (lastResult == ioOk || lastResult == ioNullDriver) {
        if (lastResult == ioOk) {
            IncCommWritesOk();
            SetModified(false);
        }
        changed = StoreElements(elements, offSet);
        SetValueTimestamp(valuesTimeStamp);
    } else {
        IncCommWriteErrors();
    }
}

void TPLCBlock::CommandResultCallBack(const TArrayOfDouble& values, TDateTime valuesTimeStamp,
                                      TTagCommand tagCommand, TProtocolIOResult lastResult,
                                      int32_t offSet) {
    if (Destroying())
        return;
    const TDateTime previousTimestamp = ValueTimestamp();
    TPLCTag::CommandResultCallBack(values, valuesTimeStamp, tagCommand, lastResult, offSet);
    const TArrayOfDouble elements = RawToTagValues(values, offSet);
    bool changed = false;
    const bool isRead = tagCommand == tcScanRead || tagCommand == tcRead;
    if (isRead || tagCommand == tcInternalUpdate)
        ProcessReadResult(elements, valuesTimeStamp, tagCommand, lastResult, offSet, changed);
    else
        ProcessWriteResult(elements, valuesTimeStamp, lastResult, offSet, changed);
    StoreStatus(tagCommand, lastResult);
    if (changed || FFirstChange) {
        if (isRead)
            FFirstChange = false;
        SignalValueChange();
    }
    if (isRead && lastResult == ioOk && ValueTimestamp() != previousTimestamp && OnUpdate)
        OnUpdate(this);
}

TTag::TChangeData TPLCBlock::CaptureChangeData() {
    return std::make_shared<TArrayOfDouble>(FElementValues);
}

void TPLCBlock::DeliverAsyncChange(const TChangeData& data) {
    if (OnAsyncValueChange && data)
        OnAsyncValueChange(this, *static_cast<const TArrayOfDouble*>(data.get()));
}

void TPLCBlock::ReleaseChangeData(TChangeData& data) {
    data.reset();
}
