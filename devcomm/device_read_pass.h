#pragma once

#include "db/database_set.h"
#include "devcomm/device_context.h"
#include "devcomm/device_info.h"
#include "params/arr_para_cache.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class TNodeManager;
class TProgressSink;

enum TReadOutcome { roNoDevice, roAddressConflict, roUnknownType, roDone };

struct TReadPassResult {
    TReadOutcome Outcome = roNoDevice;
    int NodeId = -1;        // the device node read into
    bool NodeAdded = false; // added from the template: the tree needs rebuilding
};

// The device node that the identified device belongs to.
struct TNodeMatch {
    enum TKind { nmNode, nmNew, nmConflict } Kind = nmNew;
    int NodeId = 0;
    int SegmentId = 0;
};

// "Read from device": identifies the device at the chosen station, finds or adds its node, reads
// every readable parameter of the node and its sub-nodes and stores the values and their copies
// in one transaction per node. The application asks for the address beforehand and rebuilds the
// tree afterwards. Runs on the user-interface thread; database set, node manager, context and
// the device record must outlive the pass.
class TDeviceReadPass {
public:
    TDeviceReadPass(TDatabaseSet& db, TNodeManager& nodes, TDeviceContext& context,
                    TDeviceInfo& info)
        : Db_(db), Nodes_(nodes), Context_(context), Info_(info) {}

    void SetProgress(TProgressSink* progress) { Progress_ = progress; }
    std::function<void()> OnClearMemo;

    TReadPassResult Run();

    // The node of the identified device (query trace 23).
    TNodeMatch FindDeviceNode();
    // The template device for the identified type and version (query trace 24).
    std::optional<int> FindTemplateNode();
    TArrParaCache ReadCache;

private:
    void ReadNode(int nodeId, int segmentId, int& position);
    QString ParameterLine(const TParameterRow& row, const QString& text, const QString& dump) const;
    void ExecuteStatements(const QStringList& statements);
    int CountReadable(const QString& ids);

    TDatabaseSet& Db_;
    TNodeManager& Nodes_;
    TDeviceContext& Context_;
    TDeviceInfo& Info_;
    TProgressSink* Progress_ = nullptr;
};

// The address a device item's caption proposes ("[ 12 ]  UT10: TT-101"): characters 3 to 5
// without blanks and "]", or fallback when they are no number.
int ProposedAddress(const QString& caption, int fallback);
