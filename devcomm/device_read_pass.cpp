#include "devcomm/device_read_pass.h"

#include "db/node_manager.h"
#include "db/progress_sink.h"
#include "db/sql_text.h"
#include "devcomm/device_node_list.h"
#include "devcomm/identify_device.h"
#include "params/copy_to_statement.h"
#include "params/db_option_source.h"
#include "params/sql_text.h"
#include "params/value_statement.h"

namespace {

QString JoinIds(const std::vector<int>& ids) {
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(QLatin1Char(','));
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Rolls back what a failed statement left open, so no later commit stores half a node.
class TTransactionGuard {
public:
    explicit TTransactionGuard(TDbConnection& connection) : Connection_(connection) {}
    ~TTransactionGuard() {
        if (!Done_ && Connection_.InTransaction())
            Connection_.Rollback();
    }
    void Commit() {
        Connection_.Commit();
        Done_ = true;
    }

private:
    TDbConnection& Connection_;
    bool Done_ = false;
};

} // namespace

TReadPassResult TDeviceReadPass::Run() {
    TReadPassResult result;
    if (!IdentifyDevice(Context_, Info_)) {
        Context_.Messages.ShowMessage(Context_.Texts.NoDeviceFound);
        return result;
    }
    TNodeMatch match = FindDeviceNode();
    if (match.Kind == TNodeMatch::nmConflict) {
        Context_.Messages.ShowMessage(
            QString(Context_.Texts.FreeAddress)
                .replace(QStringLiteral("%s"), QString::number(Info_.Address)));
        result.Outcome = roAddressConflict;
        return result;
    }
    if (match.Kind == TNodeMatch::nmNew) {
        const std::optional<int> templateId = FindTemplateNode();
        const int added = templateId ? Nodes_.AddNodeFromTemplate(*templateId) : -1;
        if (added < 0) {
            Context_.Messages.ShowMessage(Context_.Texts.UnknownType);
            result.Outcome = roUnknownType;
            return result;
        }
        match = {TNodeMatch::nmNode, added, Nodes_.CurrentSegmentId()};
        result.NodeAdded = true;
    }
    result.NodeId = match.NodeId;

    const std::vector<int> ids = DeviceNodeList(Db_, match.NodeId, match.SegmentId);
    if (OnClearMemo)
        OnClearMemo();
    const TDbHooks& hooks = Db_.Hooks();
    hooks.Memo(QStringLiteral("Nodes: ") + JoinIds(ids));
    const int count = CountReadable(JoinIds(ids));
    hooks.Memo(QStringLiteral("Gesamte Kommunikationen: ") + QString::number(count));
    if (Progress_)
        Progress_->StartProgress(Context_.Texts.ReadDevice + QStringLiteral(" ..."), count);
    ReadCache.Clear();
    int position = 0;
    for (int id : ids)
        ReadNode(id, match.SegmentId, position);
    if (Progress_)
        Progress_->FinishProgress();
    Context_.Link.CloseConnection();
    hooks.Log(QStringLiteral("REFRESH NodeTree"));
    result.Outcome = roDone;
    return result;
}

TNodeMatch TDeviceReadPass::FindDeviceNode() {
    // A device without identification text cannot be told apart by it: every node without one
    // would match, so only its address counts then.
    const bool byRfid = !Info_.Rfid.trimmed().isEmpty();
    QString sql = QStringLiteral("SELECT * FROM mb_node WHERE parentID=0 AND devid='") +
                  DeviceTypeCode(Info_) + QStringLiteral("' AND (addr=") +
                  QString::number(Info_.Address);
    if (byRfid)
        sql += QStringLiteral(" OR rfid=") + SqlQuote(Info_.Rfid);
    sql += QStringLiteral(")");
    TDbQuery& q = Db_.SQLQuery1;
    q.Open(sql, 23);
    int rows = 0;
    TNodeMatch addressMatch, rfidMatch;
    for (; !q.Eof(); q.Next()) {
        ++rows;
        const TNodeMatch row{TNodeMatch::nmNode, q.FieldAsInteger(QStringLiteral("id")),
                             q.FieldAsInteger(QStringLiteral("pid"))};
        if (q.FieldAsInteger(QStringLiteral("addr")) == Info_.Address)
            addressMatch = row;
        if (byRfid && q.FieldAsString(QStringLiteral("rfid")) == Info_.Rfid)
            rfidMatch = row;
    }
    q.Close();
    if (addressMatch.NodeId != 0 && (addressMatch.NodeId == rfidMatch.NodeId || rows == 1))
        return addressMatch;
    if (rfidMatch.NodeId != 0 && rows == 1)
        return rfidMatch;
    if (addressMatch.NodeId == 0 && rfidMatch.NodeId == 0)
        return {};
    return {TNodeMatch::nmConflict, 0, 0};
}

std::optional<int> TDeviceReadPass::FindTemplateNode() {
    const QString version = VersionText(Info_);
    const QString sql = QStringLiteral("SELECT id FROM mb_node WHERE parentID=0 AND devid='") +
                        DeviceTypeCode(Info_) + QStringLiteral("'") +
                        QStringLiteral(" AND (minversion='' OR minversion<='") + version +
                        QStringLiteral("') AND (maxversion='' OR maxversion>='") + version +
                        QStringLiteral("')") + QStringLiteral(" LIMIT 0,1");
    TDbQuery& q = Db_.SQLQueryTpl;
    q.Open(sql, 24);
    std::optional<int> id;
    if (!q.Eof())
        id = q.FieldAsInteger(QStringLiteral("id"));
    q.Close();
    return id;
}

int TDeviceReadPass::CountReadable(const QString& ids) {
    TDbQuery& q = Db_.SQLQuery1;
    q.Open(QStringLiteral("SELECT count(*) AS count FROM mb_parameter WHERE pid IN(") + ids +
               QStringLiteral(") AND (access & 1)=1"),
           25);
    const int count = q.Eof() ? 0 : q.FieldAsInteger(QStringLiteral("count"));
    q.Close();
    return count;
}

void TDeviceReadPass::ReadNode(int nodeId, int segmentId, int& position) {
    const TDbHooks& hooks = Db_.Hooks();
    hooks.Memo(QString());
    std::vector<TParameterRow> rows;
    TDbQuery& q = Db_.SQLQuery1;
    q.Open(QStringLiteral("SELECT * FROM mb_parameter WHERE pid=") + QString::number(nodeId) +
               QStringLiteral(" AND (access & 1)=1 ORDER BY sorting"),
           26);
    for (; !q.Eof(); q.Next())
        rows.push_back(ParameterRowOf(q));
    q.Close();

    TLinkRegisterSource source(Context_);
    QStringList statements;
    for (const TParameterRow& row : rows) {
        if (Progress_)
            Progress_->StepProgress(++position);
        const TArrResult value = DecodeParameter(row, ReadCache, source);
        const std::string literal = ResultLiteral(value);
        statements << Q(ParameterValueStatement(row.id, StoredValueText(literal))) + ';';
        if (!QString::fromStdString(row.copyto).trimmed().isEmpty()) {
            if (const auto copy = CopyToStatement(row.copyto, literal, row.pid, segmentId)) {
                hooks.Log(Q(CopyToLogLine(row.copyto)));
                statements << Q(*copy) + ';';
            }
        }
        hooks.Memo(ParameterLine(row, Q(literal), Q(value.Dump)));
    }
    ExecuteStatements(statements);
}

QString TDeviceReadPass::ParameterLine(const TParameterRow& row, const QString& text,
                                       const QString& dump) const {
    QString line =
        QStringLiteral("ID: %1, %2 (%3) = ").arg(row.id).arg(row.modreg).arg(row.regcnt) +
        Q(row.value) + QStringLiteral("\t\t=> gelesen: ") + text + QStringLiteral("\t | ") + dump;
    if (!QString::fromStdString(row.copyto).trimmed().isEmpty())
        line += QStringLiteral("\tCopyto: ") + Q(row.copyto);
    return line;
}

void TDeviceReadPass::ExecuteStatements(const QStringList& statements) {
    TDbConnection& con = Db_.SQLite3Con;
    con.CommitIfActive();
    con.StartTransaction();
    TTransactionGuard guard(con);
    for (const QString& sql : statements) {
        Db_.Hooks().Pump();
        con.ExecTraced(sql, 14);
    }
    guard.Commit();
}

int ProposedAddress(const QString& caption, int fallback) {
    QString digits = caption.mid(2, 3).trimmed();
    if (digits.endsWith(QLatin1Char(']')))
        digits.chop(1);
    bool ok = false;
    const int address = digits.trimmed().toInt(&ok);
    return ok ? address : fallback;
}
