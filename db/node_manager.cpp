#include "db/node_manager.h"

#include "db/node_sql.h"
#include "db/progress_sink.h"
#include "db/user_database.h"

namespace {

// Closes the progress window however the copy ends, so that a missing template node or a
// database error does not leave it standing until its watchdog fires.
class TProgressScope {
public:
    TProgressScope(TProgressSink* sink, const QString& caption, int maximum) : Sink_(sink) {
        if (Sink_)
            Sink_->StartProgress(caption, maximum);
    }
    ~TProgressScope() {
        if (Sink_)
            Sink_->FinishProgress();
    }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

    void Step(int position) {
        if (Sink_)
            Sink_->StepProgress(position);
    }

private:
    TProgressSink* Sink_;
};

TNodeInsertRow ReadNodeRow(const TDbQuery& q) {
    TNodeInsertRow r;
    r.Sorting = q.FieldAsString(QStringLiteral("sorting"));
    r.Title = q.FieldAsString(QStringLiteral("title"));
    r.Name = q.FieldAsString(QStringLiteral("name"));
    r.FullnameId = q.FieldAsString(QStringLiteral("fullnameID"));
    r.Devid = q.FieldAsString(QStringLiteral("devid"));
    r.VendorId = q.FieldAsString(QStringLiteral("vendorID"));
    r.Icon = q.FieldAsString(QStringLiteral("icon"));
    r.IconActive = q.FieldAsString(QStringLiteral("icon_active"));
    r.Cond = q.FieldAsString(QStringLiteral("cond"));
    r.Vallist = q.FieldAsString(QStringLiteral("vallist"));
    r.Load = q.FieldAsString(QStringLiteral("load"));
    r.Collapse = q.FieldAsString(QStringLiteral("collapse"));
    return r;
}

} // namespace

QString TNodeManager::Replace(const QString& text) const {
    return ReplaceTags_ ? ReplaceTags_(text) : text;
}

int TNodeManager::TemplateSubNodeCount(int t) {
    TDbQuery& q = Db_.SQLQueryTpl;
    q.Open(TemplateSubNodeCountQuery(t), 8);
    const int count = q.Eof() ? 0 : q.FieldAsInteger(QStringLiteral("cnt"));
    q.Close();
    return count;
}

std::optional<TNodeInsertRow> TNodeManager::ReadTemplateNode(int t) {
    TDbQuery& q = Db_.SQLQueryTpl;
    q.Open(TemplateNodeQuery(t), 9);
    std::optional<TNodeInsertRow> row;
    if (!q.Eof())
        row = ReadNodeRow(q);
    q.Close();
    return row;
}

TNodeInsertRow TNodeManager::Resolved(TNodeInsertRow row) const {
    row.Title = Replace(row.Title);
    row.Name = Replace(row.Name);
    return row;
}

int TNodeManager::InsertDevice(const TNodeInsertRow& row) {
    TDbConnection& user = Db_.SQLite3Con;
    user.Execute(NodeInsertStatement(CurrentSegmentId_, -1, Resolved(row)), 11);
    return static_cast<int>(user.LastInsertRowId());
}

std::vector<TNodeManager::TPendingSubNode> TNodeManager::BuildSubNodeInserts(int t, int deviceId) {
    std::vector<TPendingSubNode> pending;
    TDbQuery& q = Db_.SQLQueryTpl;
    q.Open(TemplateSubNodesQuery(t), 10);
    for (; !q.Eof(); q.Next()) {
        pending.push_back(
            {q.FieldAsInteger(QStringLiteral("id")),
             NodeInsertStatement(CurrentSegmentId_, deviceId, Resolved(ReadNodeRow(q)))});
    }
    q.Close();
    return pending;
}

int TNodeManager::AddNodeFromTemplate(int t) {
    const int count = TemplateSubNodeCount(t);
    TProgressScope progress(Progress_, ProgressCaption_, count + 1);
    int position = 1;
    const std::optional<TNodeInsertRow> device = ReadTemplateNode(t);
    if (!device)
        return -1;
    progress.Step(position);
    const int deviceId = InsertDevice(*device);
    CopyParameters(t, deviceId);
    TDbConnection& user = Db_.SQLite3Con;
    for (const TPendingSubNode& sub : BuildSubNodeInserts(t, deviceId)) {
        progress.Step(++position);
        user.Execute(sub.Statement, 12);
        CopyParameters(sub.TemplateId, static_cast<int>(user.LastInsertRowId()));
    }
    return deviceId;
}

void TNodeManager::CopyParameters(int s, int d) {
    ::CopyParameters(Db_, s, d);
}

std::vector<int> TNodeManager::SubNodeIds(int deviceId) {
    std::vector<int> ids;
    TDbQuery& q = Db_.SQLQuery1;
    const QString sql = SubNodeIdsQuery(deviceId);
    q.Open(sql, 1);
    Db_.Hooks().Memo(QStringLiteral("SQL: ") + sql);
    for (; !q.Eof(); q.Next())
        ids.push_back(q.FieldAsInteger(QStringLiteral("id")));
    q.Close();
    return ids;
}

std::vector<int> TNodeManager::DeleteDevice(int deviceId) {
    std::vector<int> ids{deviceId};
    const std::vector<int> subNodes = SubNodeIds(deviceId);
    ids.insert(ids.end(), subNodes.begin(), subNodes.end());
    const TDbHooks& hooks = Db_.Hooks();
    TDbConnection& user = Db_.SQLite3Con;
    const QString nodes = DeleteNodesStatement(ids);
    hooks.Memo(QStringLiteral("SQL: ") + nodes);
    user.Execute(nodes, 3);
    const QString parameters = DeleteParametersStatement(ids);
    hooks.Memo(QStringLiteral("SQL: ") + parameters);
    user.Execute(parameters, 4);
    return ids;
}

std::vector<TAddNodeEntry> TNodeManager::AddNodeList(const QString& devices,
                                                     const QString& language) {
    std::vector<TAddNodeEntry> entries;
    TDbQuery& q = Db_.SQLQueryTpl;
    // The dialog's query has no call-site number of its own; it is not traced.
    q.SetSQL(AddNodeListQuery(devices, language));
    q.Open();
    for (; !q.Eof(); q.Next())
        entries.push_back({q.FieldAsInteger(QStringLiteral("id")),
                           Replace(q.FieldAsString(QStringLiteral("text")))});
    q.Close();
    return entries;
}
