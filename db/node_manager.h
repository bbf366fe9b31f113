#pragma once

#include "db/database_set.h"
#include "db/node_sql.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class TProgressSink;

// Replaces the brand placeholders "{{key}}" in a template text.
using TTagReplacer = std::function<QString(const QString&)>;

// One entry of the add-node list: template node id and the text shown for it.
struct TAddNodeEntry {
    int Id = 0;
    QString Text;
};

// Adds devices to the current segment by copying them from the template database, deletes
// devices with their sub-nodes and parameter rows, and reads the add-node list. Runs on the
// user-interface thread; the database set, the progress sink and the callbacks must outlive it.
class TNodeManager {
public:
    explicit TNodeManager(TDatabaseSet& db) : Db_(db) {}

    int CurrentSegmentId() const { return CurrentSegmentId_; }
    void SetCurrentSegmentId(int id) { CurrentSegmentId_ = id; }
    void SetReplaceTags(TTagReplacer replaceTags) { ReplaceTags_ = std::move(replaceTags); }
    void SetProgress(TProgressSink* progress) { Progress_ = progress; }
    // The caption of the progress window while a device is copied (resource string "AddNode").
    void SetProgressCaption(const QString& caption) { ProgressCaption_ = caption; }

    // Copies template device node t, its sub-nodes and all their parameter rows into the current
    // segment. Returns the new device id, or -1 when the template has no node t.
    int AddNodeFromTemplate(int t);
    // Copies every template parameter row of node s to user node d.
    void CopyParameters(int s, int d);

    // Deletes the device with its sub-nodes and all their parameter rows; returns the deleted
    // node ids (the device first).
    std::vector<int> DeleteDevice(int deviceId);

    // The template device nodes of the brand's devices list ("39,14,34") in list order of the
    // template (maxversion, long name), their texts in the language with placeholders resolved.
    std::vector<TAddNodeEntry> AddNodeList(const QString& devices, const QString& language);

private:
    struct TPendingSubNode {
        int TemplateId;
        QString Statement;
    };

    QString Replace(const QString& text) const;
    int TemplateSubNodeCount(int t);
    std::optional<TNodeInsertRow> ReadTemplateNode(int t);
    // Title and name with the brand placeholders resolved.
    TNodeInsertRow Resolved(TNodeInsertRow row) const;
    int InsertDevice(const TNodeInsertRow& row);
    std::vector<TPendingSubNode> BuildSubNodeInserts(int t, int deviceId);
    std::vector<int> SubNodeIds(int deviceId);

    TDatabaseSet& Db_;
    int CurrentSegmentId_ = 1;
    TTagReplacer ReplaceTags_;
    TProgressSink* Progress_ = nullptr;
    QString ProgressCaption_ = QStringLiteral("AddNode");
};
