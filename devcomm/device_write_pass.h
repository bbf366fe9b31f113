#pragma once

#include "db/database_set.h"
#include "devcomm/device_context.h"
#include "devcomm/device_info.h"
#include "params/arr_para_cache.h"
#include "params/arr_result.h"
#include "params/parameter_row.h"

#include <functional>
#include <vector>

class TProgressSink;

enum TWriteOutcome { woNoDevice, woNodeNotFound, woTypeMismatch, woCancelled, woDone };

// "Write to device": identifies the connected device, makes sure it is the device of the chosen
// node, then writes every writable parameter whose condition holds. Rows sharing a register
// block are collected in the write cache (the block is read once, the rows are encoded into it,
// and it is written as a whole); rows with registers of their own are written at once. The pass
// ends with the command 67 to register 8212. Runs on the user-interface thread.
class TDeviceWritePass {
public:
    TDeviceWritePass(TDatabaseSet& db, TDeviceContext& context, TDeviceInfo& info)
        : Db_(db), Context_(context), Info_(info) {}

    void SetProgress(TProgressSink* progress) { Progress_ = progress; }
    // The title of the confirmation box: the brand's program name.
    void SetProgName(const QString& name) { ProgName_ = name; }

    // deviceId: the device node chosen in the tree.
    TWriteOutcome Run(int deviceId);

    TArrResult WriteParameterRow(const TParameterRow& row);
    void LoadWriteCache(const TParameterRow& row);
    TArrResult FlushWriteCache();
    void ClearWriteCache() { WriteCache.Clear(); }

    TArrParaCache WriteCache;

private:
    bool CheckNode(int deviceId, int& segmentId);
    void WriteNode(int nodeId, int& position);
    TArrResult WriteOwnRegisters(const TParameterRow& row);
    TProtocolIOResult Write(int function, int memAddress, const std::vector<uint16_t>& values);
    int CountWritable(const QString& ids);

    TDatabaseSet& Db_;
    TDeviceContext& Context_;
    TDeviceInfo& Info_;
    TProgressSink* Progress_ = nullptr;
    QString ProgName_;
};
