// TScanUpdate: a protocol driver's update thread. It answers queued reads from the driver's cache,
// hands executed queued writes back to their tags, collects the attached tags that are due and
// delivers every result on the user-interface thread (TCrossThread::Synchronize), in order.
//
// Threads: PostRead and PostWriteResult may be called from any thread; the handlers are set
// before Start and run on this thread; deliveries run on the user-interface thread while this
// thread waits for them.
#pragma once

#include "modbus/cross_event.h"
#include "modbus/cross_thread.h"
#include "modbus/message_spool.h"
#include "modbus/scan_records.h"

#include <functional>
#include <memory>

class TProtocolDriver;

using TGetValues = std::function<void(const TTagRec& tag, TScanReadRec& values)>;
using TGetMultipleValues = std::function<int32_t(TArrayOfScanUpdateRec& multiValues)>;
using TAverageTimeHandler = std::function<void(double averageMs)>;

class TScanUpdate : public TCrossThread {
public:
    // Raises EStackError "The component owner of the update thread must be a protocol driver!"
    // without an owner.
    TScanUpdate(TAverageTimeHandler averageTime, TProtocolDriver* owner);
    ~TScanUpdate() override;

    TGetValues OnGetValue;
    TGetMultipleValues OnScanTags;

    void PostRead(const TTagRec& tagRec);
    void PostWriteResult(std::shared_ptr<TScanWriteRec> writeRec);
    // Terminates the thread and waits for its end; on the user-interface thread it keeps running
    // pending synchronized calls meanwhile, so that a delivery in progress can finish.
    void StopAndWait();

protected:
    void Execute() override;

private:
    void Iterate(int32_t& totalMs, int32_t& cycles);
    void ServeQueue();
    void ServeRead(const TTagRec& tagRec);
    int32_t CollectAndDeliver(int32_t& totalMs, int32_t& cycles);
    void Deliver(const TTagCommandCallBack& callBack, const TArrayOfDouble& values,
                 TDateTime timeStamp, TTagCommand command, TProtocolIOResult result,
                 int32_t offset);
    void DeliverScanResults();
    void Sleep(int32_t nextSleep);

    TAverageTimeHandler FAverageTime;
    TProtocolDriver* FOwner;
    TMessageSpool FSpool;
    TCrossEvent FWake{false, false};
    TCrossEvent FFinished{true, false};
    TArrayOfScanUpdateRec FResults; // this thread prepares, the user-interface thread delivers
    TScanReadRec FReadRec;
};
