// TPLCBlock: a block of Size numeric elements of one TagType, with element access, a whole-block
// write and the queued OnAsyncValueChange. All of it belongs to the user-interface thread (see
// TPLCTag for what the driver's update thread reads).
#pragma once

#include "modbus/tag_block.h"

class TPLCBlock : public TTagBlock, public IScanableTagInterface {
public:
    explicit TPLCBlock(TTagMananger* manager = nullptr);
    ~TPLCBlock() override;

    uint32_t Size() const { return FSize; }
    // 0 is ignored.
    void SetSize(uint32_t value);
    uint32_t ElementCount() const override { return FSize; }
    const TArrayOfDouble& ElementValues() const { return FElementValues; }

    // Raises EStackError "Out of bounds!" for an index outside 0 .. Size - 1.
    double Elements(int32_t index) const;
    // Sets one element: written synchronously with SyncWrites, queued otherwise.
    void SetElements(int32_t index, double value);
    // One device write of the whole block.
    void WriteElements();

    void ScanWrite(const TArrayOfDouble& values, uint32_t count, uint32_t offset) override;
    void Write(const TArrayOfDouble& values, uint32_t count, uint32_t offset) override;

    void CommandResultCallBack(const TArrayOfDouble& values, TDateTime valuesTimeStamp,
                               TTagCommand tagCommand, TProtocolIOResult lastResult,
                               int32_t offSet) override;

    bool OwnsCallBack(const TTagCommandCallBack& callBack) const override;
    int64_t TimeToNextValueRefresh() const override { return TPLCTag::TimeToNextValueRefresh(); }
    int64_t TimeToNextScan() const override { return TPLCTag::TimeToNextScan(); }
    bool IsScanEnabled() const override { return TPLCTag::IsScanEnabled(); }
    void SetScanEnabled(bool value) override { TPLCTag::SetScanEnabled(value); }
    void FillTagRec(TTagRec& tagRec, int32_t count, int32_t offset) const override {
        TPLCTag::FillTagRec(tagRec, count, offset);
    }

protected:
    void DeliverAsyncChange(const TChangeData& data) override;
    TChangeData CaptureChangeData() override;
    void ReleaseChangeData(TChangeData& data) override;

private:
    bool StoreElements(const TArrayOfDouble& elements, int32_t offset);
    void ProcessReadResult(const TArrayOfDouble& elements, TDateTime valuesTimeStamp,
                           TTagCommand tagCommand, TProtocolIOResult lastResult, int32_t offSet,
                           bool& changed);
    void ProcessWriteResult(const TArrayOfDouble& elements, TDateTime valuesTimeStamp,
                            TProtocolIOResult lastResult, int32_t offSet, bool& changed);

    uint32_t FSize = 1;
    TArrayOfDouble FElementValues{0.0};
};
