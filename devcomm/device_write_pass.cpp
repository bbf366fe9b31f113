#include "devcomm/device_write_pass.h"

#include "db/progress_sink.h"
#include "devcomm/device_node_list.h"
#include "devcomm/identify_device.h"
#include "params/db_option_source.h"
#include "params/decode_parameter.h"
#include "params/label_table.h"
#include "params/parameter_codec.h"
#include "params/text_util.h"

#include <QStringList>
#include <array>

namespace {

// A row with registers of its own is encoded into a buffer of this many bytes.
constexpr int OwnBufferBytes = 32;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString JoinIds(const std::vector<int>& ids) {
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(QLatin1Char(','));
}

std::vector<uint16_t> RegistersOf(std::span<const uint8_t> bytes, int count) {
    std::vector<uint16_t> registers;
    for (int i = 0; i < count; ++i)
        registers.push_back(static_cast<uint16_t>(bytes[static_cast<size_t>(2 * i)] << 8 |
                                                  bytes[static_cast<size_t>(2 * i + 1)]));
    return registers;
}

} // namespace

TWriteOutcome TDeviceWritePass::Run(int deviceId) {
    if (!IdentifyDevice(Context_, Info_)) {
        Context_.Messages.ShowMessage(Context_.Texts.NoDeviceFound);
        return woNoDevice;
    }
    if (Info_.ParameterSet > 0)
        Context_.Messages.ShowMessage(Context_.Texts.NotPcMode);
    int segmentId = 0;
    {
        TDbQuery& q = Db_.SQLQuery1;
        q.Open(QStringLiteral("SELECT * FROM mb_node WHERE id=") + QString::number(deviceId), 27);
        const bool found = !q.Eof();
        const QString devid = found ? q.FieldAsString(QStringLiteral("devid")) : QString();
        const QString rfid = found ? q.FieldAsString(QStringLiteral("rfid")).trimmed() : QString();
        segmentId = found ? q.FieldAsInteger(QStringLiteral("pid")) : 0;
        q.Close();
        if (!found) {
            Context_.Messages.ShowMessage(Context_.Texts.NodeNotFound);
            return woNodeNotFound;
        }
        if (devid != DeviceTypeCode(Info_)) {
            Context_.Messages.ShowMessage(Context_.Texts.TypeMismatch);
            return woTypeMismatch;
        }
        if (!rfid.isEmpty() && rfid != Info_.Rfid.trimmed() &&
            !Context_.Messages.ConfirmWarning(ProgName_, Context_.Texts.OtherDevice))
            return woCancelled;
    }
    const std::vector<int> ids = DeviceNodeList(Db_, deviceId, segmentId);
    const TDbHooks& hooks = Db_.Hooks();
    hooks.Memo(QStringLiteral("Nodes: ") + JoinIds(ids));
    const int count = CountWritable(JoinIds(ids));
    hooks.Memo(QStringLiteral("Gesamte Kommunikationen: ") + QString::number(count));
    if (Progress_)
        Progress_->StartProgress(Context_.Texts.WriteDevice + QStringLiteral(" ..."), count);
    int position = 0;
    for (int id : ids)
        WriteNode(id, position);
    // The closing command; its answer is not examined.
    Context_.Link.WriteBlock(Context_.Link.Station(), Context_.LastWriteFunction, 8212, {67});
    if (Progress_)
        Progress_->FinishProgress();
    Context_.Link.CloseConnection();
    return woDone;
}

int TDeviceWritePass::CountWritable(const QString& ids) {
    TDbQuery& q = Db_.SQLQuery1;
    q.Open(QStringLiteral("SELECT count(*) AS count FROM mb_parameter WHERE pid IN(") + ids +
               QStringLiteral(") AND (access & 2)=2"),
           28);
    const int count = q.Eof() ? 0 : q.FieldAsInteger(QStringLiteral("count"));
    q.Close();
    return count;
}

void TDeviceWritePass::WriteNode(int nodeId, int& position) {
    const TDbHooks& hooks = Db_.Hooks();
    hooks.Memo(QString());
    std::vector<TParameterRow> rows;
    TDbQuery& q = Db_.SQLQuery1;
    q.Open(QStringLiteral("SELECT * FROM mb_parameter WHERE pid=") + QString::number(nodeId) +
               QStringLiteral(" ORDER BY sorting"),
           29);
    for (; !q.Eof(); q.Next())
        rows.push_back(ParameterRowOf(q));
    q.Close();
    if (rows.empty())
        return;
    const TLabelTable labels(rows, lmWrite);
    for (const std::string& line : LabelLogLines(labels, lmWrite))
        hooks.Memo(Q(line));
    for (const TParameterRow& row : rows) {
        if (Progress_)
            Progress_->StepProgress(++position);
        if ((row.access & 2) != 2)
            continue;
        if (!TrimText(row.cond).empty()) {
            if (!labels.Find(TrimText(row.cond)))
                continue;
            hooks.Memo(Q(AllowedValuesLogLine(row, labels)));
            if (!ConditionHolds(row, labels))
                continue;
        }
        const TArrResult result = WriteParameterRow(row);
        hooks.Memo(QStringLiteral("ID: %1, %2 (%3) => geschrieben: ")
                       .arg(row.id)
                       .arg(row.modreg)
                       .arg(row.regcnt) +
                   Q(result.Text) + QStringLiteral("\t | ") + Q(result.Dump));
    }
    FlushWriteCache();
    ClearWriteCache();
}

TArrResult TDeviceWritePass::WriteParameterRow(const TParameterRow& row) {
    TArrResult result = StartResult(row.type);
    const bool blockRow = IsBlockRow(row);
    if (WriteCache.HoldsData() && (!blockRow || TrimText(row.block) != WriteCache.block)) {
        result = FlushWriteCache();
        ClearWriteCache();
    }
    if (!blockRow)
        return WriteOwnRegisters(row);
    if (!WriteCache.HoldsData())
        LoadWriteCache(row);
    const auto place = SplitNumberPair(row.byteofs);
    if (!place)
        return result;
    // A block that could not be read is not written; its rows say so.
    const std::span<uint8_t> stream = WriteCache.Stream();
    if (!WriteCache.HoldsData() || place->first < 0 || place->second < 0 ||
        place->first + place->second > static_cast<int>(stream.size())) {
        SetResultError(result);
        return result;
    }
    EncodeParameterValue(row.type, row.value, place->second,
                         stream.subspan(static_cast<size_t>(place->first)));
    return result;
}

TArrResult TDeviceWritePass::WriteOwnRegisters(const TParameterRow& row) {
    TArrResult result = StartResult(row.type);
    // The encoding buffer holds 16 registers; a longer row would not fit into it.
    if (row.regcnt < 1 || row.regcnt * 2 > OwnBufferBytes || row.modreg < 40001) {
        SetResultError(result);
        return result;
    }
    std::array<uint8_t, OwnBufferBytes> buffer{};
    EncodeParameterValue(row.type, row.value, row.regcnt * 2, buffer);
    Context_.Link.OpenConnection();
    const int function = row.regcnt > 1 ? 16 : 6;
    if (Write(function, row.modreg - 40001, RegistersOf(buffer, row.regcnt)) != ioOk)
        SetResultError(result);
    return result;
}

void TDeviceWritePass::LoadWriteCache(const TParameterRow& row) {
    const auto block = SplitNumberPair(row.block);
    if (!block)
        return;
    const int count = (block->second + 1) / 2;
    if (count <= 0 || count > MaxSpanRegisters || block->first < 40001)
        return;
    std::vector<uint16_t> registers;
    Context_.Link.OpenConnection();
    const TProtocolIOResult read =
        Context_.Link.ReadBlock(Context_.Link.Station(), block->first - 40001, count, registers);
    if (CheckReadResult(Context_, read) != ioOk ||
        !WriteCache.StoreRegisters(row.modreg, registers))
        return;
    WriteCache.block = TrimText(row.block);
}

TArrResult TDeviceWritePass::FlushWriteCache() {
    TArrResult result = StartResult(WriteCache.TypeName);
    if (!WriteCache.HoldsData() || WriteCache.block == "0") {
        result.Dump = "kein Sync: Cache ist leer";
        return result;
    }
    const auto block = SplitNumberPair(WriteCache.block);
    if (!block) {
        SetResultError(result);
        result.Dump = "Sync: Adr oder Byteanzahl fehlt!";
        return result;
    }
    const int count = (block->second + 1) / 2;
    if (Write(16, block->first - 40001, RegistersOf(WriteCache.Stream(), count)) != ioOk)
        SetResultError(result);
    return result;
}

TProtocolIOResult TDeviceWritePass::Write(int function, int memAddress,
                                          const std::vector<uint16_t>& values) {
    Context_.LastWriteFunction = function;
    const TProtocolIOResult result =
        Context_.Link.WriteBlock(Context_.Link.Station(), function, memAddress, values);
    return CheckWriteResult(Context_, result);
}
