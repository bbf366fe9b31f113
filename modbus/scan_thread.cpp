#include "modbus/scan_thread.h"

#include "modbus/io_types.h"
#include "modbus/scan_update.h"
#include "modbus/ui_thread.h"

#include <chrono>
#include <thread>

TScanThread::TScanThread(TScanUpdate* updater) : FUpdater(updater) {}

TScanThread::~TScanThread() {
    StopAndWait();
}

void TScanThread::PostWrite(std::shared_ptr<TScanWriteRec> writeRec) {
    if (!Started() || FInitDone.WaitFor(TCrossEvent::INFINITE) != wrSignaled)
        throw EStackError("The thread is suspended?");
    FSpool.PostMessage(ScanWriteMessage, 0, std::move(writeRec), true);
    FWritePending.SetEvent();
}

void TScanThread::WaitInit() {
    while (FInitDone.WaitFor(TCrossEvent::INFINITE) != wrSignaled) {
    }
}

void TScanThread::StopAndWait() {
    Terminate();
    if (Started()) {
        while (FFinished.WaitFor(1) != wrSignaled)
            if (UIThread().IsCurrent())
                UIThread().ProcessPending(1);
    }
    WaitFor();
}

void TScanThread::Execute() {
    FInitDone.SetEvent();
    while (!Terminated()) {
        RunWrites();
        RunScanCycle();
        if (const uint32_t pause = FMinTimeOfScan.load(); pause > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
    FFinished.SetEvent();
}

void TScanThread::RunWrites() {
    if (!OnDoScanWrite)
        return;
    FWritePending.WaitFor(1);
    FWritePending.ResetEvent();
    TSpoolMessage message;
    while (!Terminated() && FSpool.TakeMessage(message, ScanWriteMessage, ScanWriteMessage)) {
        auto writeRec = std::static_pointer_cast<TScanWriteRec>(message.LParam);
        writeRec->WriteResult = OnDoScanWrite(writeRec->Tag, writeRec->Values);
        if (FUpdater)
            FUpdater->PostWriteResult(std::move(writeRec));
    }
}

void TScanThread::RunScanCycle() {
    if (!OnDoScanRead)
        return;
    try {
        int32_t needSleep = 0;
        OnDoScanRead(this, needSleep);
        if (needSleep > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(needSleep));
        else if (needSleep < 0)
            TCrossThread::Yield();
    } catch (...) {
        // A failed cycle is not fatal to scanning: the next one tries again.
    }
}
