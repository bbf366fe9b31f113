#include "modbus/tag_block.h"

#include "modbus/protocol_driver.h"

void TTagBlock::ScanRead() {
    if (!ProtocolDriver() || !AutoRead())
        return;
    TTagRec tagRec;
    FillTagRec(tagRec, 0, 0);
    ProtocolDriver()->ScanRead(tagRec);
}

void TTagBlock::Read() {
    if (!ProtocolDriver())
        return;
    TTagRec tagRec;
    FillTagRec(tagRec, 0, 0);
    ProtocolDriver()->Read(tagRec);
}

void TTagBlock::ScanWrite(const TArrayOfDouble& values, uint32_t count, uint32_t offset) {
    if (count == 0)
        return;
    const auto elementOffset = static_cast<int32_t>(offset);
    if (!ProtocolDriver()) {
        CommandResultCallBack(values, Now(), tcScanWrite, ioNullDriver, elementOffset);
        return;
    }
    if (!AutoWrite()) {
        // A local change is not a device write: the success event fires, the count does not stay.
        CommandResultCallBack(values, Now(), tcScanWrite, ioOk, elementOffset);
        DecCommWritesOk();
        return;
    }
    TTagRec tagRec;
    FillTagRec(tagRec, static_cast<int32_t>(count), elementOffset);
    ProtocolDriver()->ScanWrite(tagRec, values);
}

void TTagBlock::Write(const TArrayOfDouble& values, uint32_t count, uint32_t offset) {
    if (count == 0)
        return;
    const auto elementOffset = static_cast<int32_t>(offset);
    if (!ProtocolDriver()) {
        CommandResultCallBack(values, Now(), tcWrite, ioNullDriver, elementOffset);
        return;
    }
    TTagRec tagRec;
    FillTagRec(tagRec, static_cast<int32_t>(count), elementOffset);
    ProtocolDriver()->Write(tagRec, values);
}
