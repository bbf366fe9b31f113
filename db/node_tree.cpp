#include "db/node_tree.h"

#include "db/node_sql.h"
#include "db/segment_tree.h"

namespace {

TTreeItem DeviceItem(const TDbQuery& q) {
    TTreeItem item;
    item.Id = q.FieldAsInteger(QStringLiteral("id"));
    item.Level = 1;
    item.Caption = DeviceCaption(
        q.FieldAsInteger(QStringLiteral("addr")), q.FieldAsString(QStringLiteral("name")),
        q.FieldAsString(QStringLiteral("tag")), q.FieldAsString(QStringLiteral("rfid")));
    item.ImageIndex = q.FieldAsInteger(QStringLiteral("icon"));
    item.SelectedImageIndex = q.FieldAsInteger(QStringLiteral("icon_active"));
    item.Expanded = q.FieldAsString(QStringLiteral("collapse")) != QLatin1String("1");
    return item;
}

TTreeItem SubNodeItem(const TDbQuery& q, const TLookupText& lookupText) {
    TTreeItem item;
    item.Id = q.FieldAsInteger(QStringLiteral("id"));
    item.Level = 2;
    const int fullnameId = q.FieldAsInteger(QStringLiteral("fullnameID"));
    item.Caption = SubNodeCaption(lookupText ? lookupText(fullnameId) : QString(),
                                  q.FieldAsString(QStringLiteral("tag")));
    item.ImageIndex = q.FieldAsInteger(QStringLiteral("icon"));
    item.SelectedImageIndex = q.FieldAsInteger(QStringLiteral("icon_active"));
    return item;
}

void ReadSubNodes(TDatabaseSet& db, int segmentId, TTreeItem& device,
                  const TLookupText& lookupText) {
    TDbQuery& q = db.SQLQuery2;
    q.Open(SubNodesOfDeviceQuery(segmentId, device.Id), 14);
    for (; !q.Eof(); q.Next())
        device.Children.push_back(SubNodeItem(q, lookupText));
    q.Close();
}

} // namespace

QString DeviceCaption(int addr, const QString& name, const QString& tag, const QString& rfid) {
    const QString address = addr != 0 ? QString::number(addr) : QStringLiteral("-");
    const QString detail = tag.trimmed().isEmpty() ? rfid : tag;
    return QStringLiteral("[ ") + address + QStringLiteral(" ]  ") + name + QStringLiteral(": ") +
           detail;
}

QString SubNodeCaption(const QString& longName, const QString& tag) {
    if (tag.trimmed().isEmpty() || tag == longName)
        return longName;
    return longName + QStringLiteral(": ") + tag;
}

TNodeTree ReadNodeTree(TDatabaseSet& db, int segmentId, const TLookupText& lookupText) {
    TNodeTree tree;
    const std::optional<TSegmentRow> segment = ReadSegment(db, segmentId);
    if (!segment)
        return tree;
    TTreeItem root{segment->Id, 0, segment->Caption, kSegmentImage, kSegmentImage, true, {}};
    TDbQuery& q = db.SQLQuery1;
    q.Open(DevicesOfSegmentQuery(segmentId), 13);
    for (; !q.Eof(); q.Next()) {
        TTreeItem device = DeviceItem(q);
        ReadSubNodes(db, segmentId, device, lookupText);
        root.Children.push_back(std::move(device));
    }
    q.Close();
    tree.Segment = std::move(root);
    return tree;
}

const TTreeItem* TNodeTree::At(const TTreePath& path) const {
    if (!Segment)
        return nullptr;
    if (path.Device < 0)
        return &*Segment;
    if (path.Device >= static_cast<int>(Segment->Children.size()))
        return nullptr;
    const TTreeItem& device = Segment->Children[path.Device];
    if (path.Sub < 0)
        return &device;
    if (path.Sub >= static_cast<int>(device.Children.size()))
        return nullptr;
    return &device.Children[path.Sub];
}

std::optional<TTreePath> TNodeTree::FindLastById(int id) const {
    std::optional<TTreePath> found;
    if (!Segment)
        return found;
    if (Segment->Id == id)
        found = TTreePath{};
    for (int d = 0; d < static_cast<int>(Segment->Children.size()); ++d) {
        const TTreeItem& device = Segment->Children[d];
        if (device.Id == id)
            found = TTreePath{d, -1};
        for (int s = 0; s < static_cast<int>(device.Children.size()); ++s) {
            if (device.Children[s].Id == id)
                found = TTreePath{d, s};
        }
    }
    return found;
}

std::optional<TTreePath> TNodeTree::FindDeviceByAddress(int address) const {
    if (!Segment)
        return std::nullopt;
    const QString prefix = QStringLiteral("[ ") + QString::number(address) + QStringLiteral(" ]");
    for (int d = 0; d < static_cast<int>(Segment->Children.size()); ++d) {
        if (Segment->Children[d].Caption.startsWith(prefix))
            return TTreePath{d, -1};
    }
    return TTreePath{};
}

std::optional<TTreePath> SelectionAfterBuild(const TNodeTree& tree, int rememberedId,
                                             bool parameterPageShown) {
    if (rememberedId != -1)
        return tree.FindLastById(rememberedId);
    if (tree.Empty() || !parameterPageShown)
        return std::nullopt;
    return TTreePath{};
}

void StoreCollapseState(TDatabaseSet& db, int level, int nodeId, bool collapsed) {
    if (level < 1)
        return;
    const TDbHooks& hooks = db.Hooks();
    hooks.Log((collapsed ? QStringLiteral("collapse: ID: ") : QStringLiteral("expand: ID: ")) +
              QString::number(nodeId));
    db.SQLite3Con.Execute(CollapseStatement(nodeId, collapsed), collapsed ? 5 : 6);
}

QString NodeIconLogLine(int nodeId, int imageIndex, int level) {
    return QStringLiteral("Icon ") + QString::number(nodeId) + QStringLiteral(" = ") +
           QString::number(imageIndex) + QStringLiteral(", Level ") + QString::number(level);
}
