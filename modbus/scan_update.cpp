#include "modbus/scan_update.h"

#include "modbus/io_types.h"
#include "modbus/plc_tag.h"
#include "modbus/protocol_driver.h"
#include "modbus/ui_thread.h"

#include <chrono>

TScanUpdate::TScanUpdate(TAverageTimeHandler averageTime, TProtocolDriver* owner)
    : FAverageTime(std::move(averageTime)), FOwner(owner) {
    if (owner == nullptr)
        throw EStackError("The component owner of the update thread must be a protocol driver!");
}

TScanUpdate::~TScanUpdate() {
    StopAndWait();
}

void TScanUpdate::PostRead(const TTagRec& tagRec) {
    FSpool.PostMessage(ScanReadMessage, 0, std::make_shared<TTagRec>(tagRec), false);
    FWake.SetEvent();
}

void TScanUpdate::PostWriteResult(std::shared_ptr<TScanWriteRec> writeRec) {
    FSpool.PostMessage(ScanWriteMessage, 0, std::move(writeRec), true);
    FWake.SetEvent();
}

void TScanUpdate::StopAndWait() {
    Terminate();
    FWake.SetEvent();
    if (Started()) {
        while (FFinished.WaitFor(1) != wrSignaled)
            if (UIThread().IsCurrent())
                UIThread().ProcessPending(1);
    }
    WaitFor();
}

void TScanUpdate::Execute() {
    int32_t totalMs = 0;
    int32_t cycles = 0;
    while (!Terminated()) {
        try {
            Iterate(totalMs, cycles);
        } catch (...) {
            // One failed delivery (a tag's handler, say) must not end background updates.
        }
    }
    FFinished.SetEvent();
}

void TScanUpdate::Iterate(int32_t& totalMs, int32_t& cycles) {
    ServeQueue();
    const int32_t nextSleep = OnScanTags ? CollectAndDeliver(totalMs, cycles) : 1;
    Sleep(nextSleep);
}

void TScanUpdate::ServeQueue() {
    TSpoolMessage message;
    while (!Terminated() && FSpool.TakeMessage(message, ScanReadMessage, ScanWriteMessage)) {
        if (message.MsgId == ScanReadMessage) {
            ServeRead(*std::static_pointer_cast<TTagRec>(message.LParam));
            continue;
        }
        auto writeRec = std::static_pointer_cast<TScanWriteRec>(message.LParam);
        Deliver(writeRec->Tag.CallBack, writeRec->Values, writeRec->ValueTimeStamp, tcScanWrite,
                writeRec->WriteResult, writeRec->Tag.OffSet);
    }
}

void TScanUpdate::ServeRead(const TTagRec& tagRec) {
    if (OnGetValue)
        OnGetValue(tagRec, FReadRec);
    else
        FReadRec.ReadResult = ioDriverError;
    Deliver(tagRec.CallBack, FReadRec.Values, FReadRec.ValuesTimeStamp, tcScanRead,
            FReadRec.ReadResult, tagRec.OffSet);
    FReadRec.Values.clear();
}

void TScanUpdate::Deliver(const TTagCommandCallBack& callBack, const TArrayOfDouble& values,
                          TDateTime timeStamp, TTagCommand command, TProtocolIOResult result,
                          int32_t offset) {
    TCrossThread::Synchronize([&] {
        if (!Terminated() && callBack && FOwner->HasUser(callBack.Target))
            callBack(values, timeStamp, command, result, offset);
    });
}

int32_t TScanUpdate::CollectAndDeliver(int32_t& totalMs, int32_t& cycles) {
    FResults.clear();
    int32_t nextSleep = OnScanTags(FResults);
    if (FResults.empty())
        return nextSleep;
    const auto started = std::chrono::steady_clock::now();
    TCrossThread::Synchronize([this] { DeliverScanResults(); });
    const auto elapsed = static_cast<int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::steady_clock::now() - started)
                                                  .count());
    totalMs += elapsed;
    ++cycles;
    nextSleep -= elapsed;
    if (FAverageTime)
        FAverageTime(static_cast<double>(totalMs / cycles));
    return nextSleep;
}

void TScanUpdate::DeliverScanResults() {
    for (TScanUpdateRec& result : FResults) {
        TPLCTag* tag = result.CallBack.Target;
        if (tag && FOwner->HasTag(tag) && !tag->Destroying())
            result.CallBack(result.Values, result.ValuesTimeStamp, tcScanRead, result.LastResult,
                            0);
        result.Values.clear();
    }
    FResults.clear();
}

void TScanUpdate::Sleep(int32_t nextSleep) {
    if (!FWake.ResetEvent())
        FWake.ResetEvent();
    if (FSpool.Count() > 0)
        return; // posted after the queue was served: its wake-up was just reset
    FWake.WaitFor(nextSleep > 0 ? static_cast<uint32_t>(nextSleep) : 1u);
}
