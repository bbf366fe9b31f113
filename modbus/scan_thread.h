// TScanThread: a protocol driver's scan thread. It runs the queued writes (ahead of everything
// else) and the driver's background scan cycles, and hands executed writes to the update thread.
//
// Threads: PostWrite may be called from any thread; the handlers are set before Start and run on
// this thread.
#pragma once

#include "modbus/cross_event.h"
#include "modbus/cross_thread.h"
#include "modbus/message_spool.h"
#include "modbus/scan_records.h"

#include <atomic>
#include <functional>
#include <memory>

class TScanThread;
class TScanUpdate;

using TScanReadProc = std::function<void(TScanThread* sender, int32_t& needSleep)>;
using TScanWriteProc =
    std::function<TProtocolIOResult(const TTagRec& tag, const TArrayOfDouble& values)>;

class TScanThread : public TCrossThread {
public:
    explicit TScanThread(TScanUpdate* updater);
    ~TScanThread() override;

    uint32_t MinTimeOfScan() const { return FMinTimeOfScan.load(); }
    void SetMinTimeOfScan(uint32_t value) { FMinTimeOfScan.store(value); }
    TScanReadProc OnDoScanRead;
    TScanWriteProc OnDoScanWrite;

    // Queues a write ahead of everything ordinary. Raises EStackError "The thread is suspended?"
    // when the thread never started.
    void PostWrite(std::shared_ptr<TScanWriteRec> writeRec);
    // Waits until the thread runs.
    void WaitInit();
    void StopAndWait();

protected:
    void Execute() override;

private:
    void RunWrites();
    void RunScanCycle();

    TScanUpdate* FUpdater;
    std::atomic<uint32_t> FMinTimeOfScan{0};
    TMessageSpool FSpool;
    TCrossEvent FInitDone{true, false};
    TCrossEvent FWritePending{true, false};
    TCrossEvent FFinished{true, false};
};
