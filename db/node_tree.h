#pragma once

#include "db/database_set.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The long name of a template text id in the current language (the text list).
using TLookupText = std::function<QString(int)>;

// Image index of the segment item of the tree.
constexpr int kSegmentImage = 30;

// One item of the node tree as the tree widget draws it: level 0 the segment, 1 a device,
// 2 a sub-node. Id is the stored id (mb_segment.id on level 0, mb_node.id below).
struct TTreeItem {
    int Id = 0;
    int Level = 0;
    QString Caption;
    int ImageIndex = -1;
    int SelectedImageIndex = -1;
    bool Expanded = true;
    std::vector<TTreeItem> Children;
};

// Where an item stands: Device and Sub are child indices, -1 where the path ends above.
struct TTreePath {
    int Device = -1;
    int Sub = -1;
    int Level() const { return Device < 0 ? 0 : (Sub < 0 ? 1 : 2); }
    bool operator==(const TTreePath&) const = default;
};

// The tree of one segment; Segment is empty when the database has no such segment.
struct TNodeTree {
    std::optional<TTreeItem> Segment;

    bool Empty() const { return !Segment.has_value(); }
    const TTreeItem* At(const TTreePath& path) const;
    // The item whose stored id is id, the last one in tree order (a segment and a node may carry
    // the same number).
    std::optional<TTreePath> FindLastById(int id) const;
    // The first device whose caption starts with "[ " + address + " ]", else the segment.
    std::optional<TTreePath> FindDeviceByAddress(int address) const;
};

// "[ 5 ]  UT10: TT-101", "-" for address 0, the identification text in place of an empty tag.
QString DeviceCaption(int addr, const QString& name, const QString& tag, const QString& rfid);
// The long name, with ": " + tag when the tag says something the long name does not.
QString SubNodeCaption(const QString& longName, const QString& tag);

// Reads the segment, its devices (by address, then name) and their sub-nodes (by sorting) with
// the general query for the segment and the devices and the second query for the sub-nodes.
TNodeTree ReadNodeTree(TDatabaseSet& db, int segmentId, const TLookupText& lookupText);

// Which item a rebuilt tree selects: the last item carrying the remembered id; with none
// remembered (-1) the segment, unless the tree is empty or the parameter page is not showing.
std::optional<TTreePath> SelectionAfterBuild(const TNodeTree& tree, int rememberedId,
                                             bool parameterPageShown);

// Stores the collapsed or expanded state of a tree item, with its program-log line. Only node
// items have a place for it: the segment item (level 0) stores nothing, since its id would name
// an unrelated row of mb_node.
void StoreCollapseState(TDatabaseSet& db, int level, int nodeId, bool collapsed);

// The log line of SetNodeIcon.
QString NodeIconLogLine(int nodeId, int imageIndex, int level);
