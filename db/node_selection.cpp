#include "db/node_selection.h"

#include "db/node_sql.h"
#include "db/sql_text.h"

namespace {

void AddRow(TSelectionInfo& info, const QString& label, const QString& value) {
    info.InfoRows.emplace_back(label, value);
}

void DescribeSegment(TDatabaseSet& db, const TTreeItem& segment, TSelectionInfo& info,
                     const TSelectionContext& context) {
    info.Read = {true, kImageRead};
    info.Write = {false, kImageWriteDisabled};
    info.NodeLabel = QString();
    TDbQuery& q = db.SQLQuery1;
    q.Open(SegmentByIdQuery(segment.Id), 3);
    if (!q.Eof()) {
        info.NodeLabel = q.FieldAsString(QStringLiteral("caption"));
        AddRow(info, context.Labels.MeasuringPoint, q.FieldAsString(QStringLiteral("tag")));
    }
    q.Close();
}

void DescribeNode(TDatabaseSet& db, const TNodeTree& tree, const TTreePath& path,
                  TSelectionInfo& info, const TSelectionContext& context) {
    const TTreeItem& device = *tree.At(TTreePath{path.Device, -1});
    info.Read = {true, kImageRead};
    info.Write = {true, kImageWrite};
    info.ExpandItem = true;
    info.NodeLabel = device.Caption;
    if (path.Level() == 2)
        *info.NodeLabel += QStringLiteral("   |   ") + tree.At(path)->Caption;
    info.DeviceId = device.Id;
    TDbQuery& q = db.SQLQuery1;
    q.Open(NodeByIdQuery(device.Id), 4);
    if (!q.Eof()) {
        const TInfoLabels& labels = context.Labels;
        info.DeviceName = q.FieldAsString(QStringLiteral("name"));
        const int fullnameId = q.FieldAsInteger(QStringLiteral("fullnameID"));
        AddRow(info, labels.DeviceType,
               context.LookupText ? context.LookupText(fullnameId) : QString());
        const int addr = q.FieldAsInteger(QStringLiteral("addr"));
        AddRow(info, labels.ModbusAddress, addr > 0 ? QString::number(addr) : labels.NoAddress);
        AddRow(info, labels.MeasuringPoint, q.FieldAsString(QStringLiteral("tag")));
        if (context.ServiceMode)
            AddRow(info, labels.Rfid, q.FieldAsString(QStringLiteral("rfid")));
    }
    q.Close();
}

} // namespace

TSelectionInfo DescribeSelection(TDatabaseSet& db, const TNodeTree& tree,
                                 const std::optional<TTreePath>& path,
                                 const TSelectionContext& context) {
    TSelectionInfo info;
    const TTreeItem* item = path ? tree.At(*path) : nullptr;
    if (!item) {
        info.Read = {false, kImageNoSelection};
        info.Write = {false, kImageNoSelection};
        return info;
    }
    info.Level = path->Level();
    info.SelectedNodeId = item->Id;
    if (info.Level == 0)
        DescribeSegment(db, *item, info, context);
    else
        DescribeNode(db, tree, *path, info, context);
    if (context.ServiceMode)
        AddRow(info, context.Labels.DatabaseId, QString::number(item->Id));
    return info;
}
