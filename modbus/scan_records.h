// Records that travel between a protocol driver's scan thread and its update thread.
#pragma once

#include "modbus/protocol_types.h"

#include <cstdint>
#include <vector>

// Message numbers of the worker threads' queues.
constexpr uint32_t ScanReadMessage = 204;
constexpr uint32_t ScanWriteMessage = 205;

// One queued write, from ScanWrite through the scan thread to its delivery.
struct TScanWriteRec {
    uint32_t RequestId = 0;
    TTagRec Tag;
    TArrayOfDouble Values;
    TProtocolIOResult WriteResult = ioNone;
    TDateTime ValueTimeStamp{};
};

// One background result prepared by the update thread for delivery.
struct TScanUpdateRec {
    TTagCommandCallBack CallBack;
    TDateTime ValuesTimeStamp{};
    TProtocolIOResult LastResult = ioNone;
    TArrayOfDouble Values;
};

using TArrayOfScanUpdateRec = std::vector<TScanUpdateRec>;
