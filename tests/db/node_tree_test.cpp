#include "db/node_selection.h"
#include "db/node_tree.h"

#include "node_fixture.h"

#include <gtest/gtest.h>
#include <map>

namespace {

QString LookupTestText(int id) {
    static const std::map<int, QString> texts = {
        {202, "Input"}, {204, "Relay"}, {205, "AI4 analogue inputs"}, {206, "UT10 transmitter"}};
    const auto it = texts.find(id);
    return it == texts.end() ? QString() : it->second;
}

// Six devices on segment 1 in no particular order, one of them carrying the segment's id, and
// a device of another segment that the tree must not show.
class NodeTreeTest : public ::testing::Test {
protected:
    NodeTreeTest() {
        F.Db.SQLite3Con.Execute(
            "INSERT INTO mb_node (id,pid,parentID,name,fullnameID,addr,tag,rfid,icon,icon_active,"
            "collapse) VALUES"
            " (11,1,0,'AI4',205,10,'TT-10','',20,21,''),"
            " (12,1,0,'UT10',206,0,'','R-0',20,21,''),"
            " (13,1,0,'DO4',0,2,'   ','SN-2',20,21,''),"
            " (14,1,0,'AO4',0,2,'Kessel','',20,21,''),"
            " (15,1,0,'DI4',0,1,'x','',20,21,'1'),"
            " (1,1,0,'TT2',0,5,'T','',20,21,''),"
            " (30,2,0,'UT10',0,1,'other segment','',20,21,'');"
            "INSERT INTO mb_node (id,pid,parentID,sorting,fullnameID,tag,icon,icon_active) VALUES"
            " (21,1,11,2,202,'Input',22,22),"
            " (22,1,11,1,204,'R1',25,25),"
            " (23,1,11,3,205,'  ',23,23),"
            " (31,2,30,1,202,'',22,22);",
            0);
        F.Traces.clear();
    }

    TNodeTree Read() { return ReadNodeTree(F.Db, 1, &LookupTestText); }

    TSelectionInfo Select(const TNodeTree& tree, std::optional<TTreePath> path,
                          bool serviceMode = false) {
        TSelectionContext context;
        context.LookupText = &LookupTestText;
        context.ServiceMode = serviceMode;
        return DescribeSelection(F.Db, tree, path, context);
    }

    TNodeFixture F;
};

QStringList Captions(const TTreeItem& item) {
    QStringList captions;
    for (const TTreeItem& child : item.Children)
        captions << child.Caption;
    return captions;
}

using TRows = std::vector<std::pair<QString, QString>>;

} // namespace

TEST_F(NodeTreeTest, DevicesComeByAddressThenNameWithTheirCaptions) {
    const TNodeTree tree = Read();

    ASSERT_FALSE(tree.Empty());
    const TTreeItem& segment = *tree.Segment;
    EXPECT_EQ(segment.Caption, QStringLiteral("Modbus-Segment"));
    EXPECT_EQ(segment.Id, 1);
    EXPECT_EQ(segment.ImageIndex, 30);
    EXPECT_EQ(Captions(segment),
              QStringList({"[ - ]  UT10: R-0", "[ 1 ]  DI4: x", "[ 2 ]  AO4: Kessel",
                           "[ 2 ]  DO4: SN-2", "[ 5 ]  TT2: T", "[ 10 ]  AI4: TT-10"}));
    EXPECT_EQ(F.TraceNumbers(), (std::vector<int>{12, 13, 14, 14, 14, 14, 14, 14}));
}

TEST_F(NodeTreeTest, SubNodesComeBySortingAndRepeatNoTagEqualToTheLongName) {
    const TNodeTree tree = Read();
    const TTreeItem& device = tree.Segment->Children.back();

    EXPECT_EQ(Captions(device), QStringList({"Relay: R1", "Input", "AI4 analogue inputs"}));
    ASSERT_EQ(device.Children.size(), 3u);
    EXPECT_EQ(device.Children[0].Id, 22);
    EXPECT_EQ(device.Children[0].Level, 2);
    EXPECT_EQ(device.Children[0].ImageIndex, 25);
    EXPECT_EQ(device.ImageIndex, 20);
    EXPECT_EQ(device.SelectedImageIndex, 21);
}

TEST_F(NodeTreeTest, CollapseStateIsStoredAndReadBackAfterReopening) {
    const TNodeTree before = Read();
    EXPECT_FALSE(before.Segment->Children[1].Expanded); // DI4 was stored collapsed
    EXPECT_TRUE(before.Segment->Children[5].Expanded);
    F.Traces.clear();

    StoreCollapseState(F.Db, 1, 11, true);
    StoreCollapseState(F.Db, 1, 15, false);
    // Collapsing the segment (id 1) must not touch device TT2, which has node id 1.
    StoreCollapseState(F.Db, 0, 1, true);

    EXPECT_EQ(F.Log, QStringList({"collapse: ID: 11", "expand: ID: 15"}));
    ASSERT_EQ(F.Traces.size(), 2u);
    EXPECT_EQ(F.Traces[0],
              std::make_pair(5, QString("UPDATE mb_node SET collapse='1' WHERE id=11")));
    EXPECT_EQ(F.Traces[1],
              std::make_pair(6, QString("UPDATE mb_node SET collapse='' WHERE id=15")));
    F.Db.SQLite3Con.Close();
    F.Db.SQLite3Con.Open(false);
    const TNodeTree after = Read();
    EXPECT_TRUE(after.Segment->Children[1].Expanded);
    EXPECT_FALSE(after.Segment->Children[5].Expanded);
    EXPECT_TRUE(after.Segment->Children[4].Expanded);
}

TEST_F(NodeTreeTest, LookupsByAddressAndById) {
    const TNodeTree tree = Read();

    EXPECT_EQ(tree.FindDeviceByAddress(1), (TTreePath{1, -1})); // not "[ 10 ]"
    EXPECT_EQ(tree.FindDeviceByAddress(10), (TTreePath{5, -1}));
    EXPECT_EQ(tree.FindDeviceByAddress(-1), TTreePath{});
    EXPECT_EQ(tree.FindDeviceByAddress(3), TTreePath{});
    // The segment and device TT2 both carry id 1: the later item in tree order wins.
    EXPECT_EQ(tree.FindLastById(1), (TTreePath{4, -1}));
    EXPECT_EQ(tree.FindLastById(22), (TTreePath{5, 0}));
    EXPECT_EQ(tree.FindLastById(31), std::nullopt);
    EXPECT_EQ(SelectionAfterBuild(tree, -1, true), TTreePath{});
    EXPECT_EQ(SelectionAfterBuild(tree, -1, false), std::nullopt);
    EXPECT_EQ(SelectionAfterBuild(tree, 23, false), (TTreePath{5, 2}));
}

TEST_F(NodeTreeTest, SegmentWithoutRowGivesAnEmptyTree) {
    const TNodeTree tree = ReadNodeTree(F.Db, 99, &LookupTestText);

    EXPECT_TRUE(tree.Empty());
    EXPECT_EQ(F.TraceNumbers(), (std::vector<int>{12}));
    EXPECT_EQ(tree.FindDeviceByAddress(1), std::nullopt);
    EXPECT_EQ(SelectionAfterBuild(tree, -1, true), std::nullopt);
    EXPECT_EQ(Select(tree, TTreePath{}).SelectedNodeId, -1);
}

TEST_F(NodeTreeTest, SelectingASubNodeShowsItsDeviceInTheInfoPanel) {
    const TNodeTree tree = Read();
    F.Traces.clear();

    const TSelectionInfo info = Select(tree, TTreePath{5, 0});

    EXPECT_EQ(info.NodeLabel, QStringLiteral("[ 10 ]  AI4: TT-10   |   Relay: R1"));
    EXPECT_EQ(info.InfoRows, (TRows{{"Geraetetyp", "AI4 analogue inputs"},
                                    {"Modbus-Adresse", "10"},
                                    {"Messstelle", "TT-10"}}));
    EXPECT_EQ(info.SelectedNodeId, 22);
    EXPECT_EQ(info.DeviceId, 11);
    EXPECT_EQ(info.Level, 2);
    EXPECT_EQ(info.DeviceName, QStringLiteral("AI4"));
    EXPECT_TRUE(info.ExpandItem);
    EXPECT_TRUE(info.Read.Enabled && info.Write.Enabled);
    EXPECT_EQ(info.Read.ImageIndex, 9);
    EXPECT_EQ(info.Write.ImageIndex, 33);
    EXPECT_EQ(F.TraceNumbers(), (std::vector<int>{4}));
}

TEST_F(NodeTreeTest, ServiceModeAddsIdentificationAndDatabaseIdRows) {
    const TNodeTree tree = Read();

    const TSelectionInfo device = Select(tree, TTreePath{0, -1}, true);
    EXPECT_EQ(device.NodeLabel, QStringLiteral("[ - ]  UT10: R-0"));
    EXPECT_EQ(device.InfoRows, (TRows{{"Geraetetyp", "UT10 transmitter"},
                                      {"Modbus-Adresse", "keine"},
                                      {"Messstelle", ""},
                                      {"RFID-Kennung", "R-0"},
                                      {"Datenbank-ID", "12"}}));

    const TSelectionInfo segment = Select(tree, TTreePath{}, true);
    EXPECT_EQ(segment.NodeLabel, QStringLiteral("Modbus-Segment"));
    EXPECT_EQ(segment.InfoRows, (TRows{{"Messstelle", ""}, {"Datenbank-ID", "1"}}));
    EXPECT_TRUE(segment.Read.Enabled);
    EXPECT_FALSE(segment.Write.Enabled);
    EXPECT_EQ(segment.Write.ImageIndex, 42);
    EXPECT_FALSE(segment.ExpandItem);
}

TEST_F(NodeTreeTest, NoSelectionDisablesBothCommandsAndKeepsTheLabel) {
    const TSelectionInfo info = Select(Read(), std::nullopt);

    EXPECT_FALSE(info.Read.Enabled || info.Write.Enabled);
    EXPECT_EQ(info.Read.ImageIndex, 41);
    EXPECT_EQ(info.Write.ImageIndex, 41);
    EXPECT_FALSE(info.NodeLabel.has_value());
    EXPECT_TRUE(info.InfoRows.empty());
    EXPECT_EQ(info.SelectedNodeId, -1);
}

TEST_F(NodeTreeTest, InfoLabelsComeFromTheCaller) {
    TSelectionContext context;
    context.Labels.ModbusAddress = QStringLiteral("Modbus address");
    context.Labels.NoAddress = QStringLiteral("none");
    const TSelectionInfo info = DescribeSelection(F.Db, Read(), TTreePath{0, -1}, context);

    ASSERT_EQ(info.InfoRows.size(), 3u);
    EXPECT_EQ(info.InfoRows[1], std::make_pair(QString("Modbus address"), QString("none")));
    EXPECT_EQ(info.InfoRows[0].second, QString()); // no text list given
}

TEST(NodeCaption, DeviceAndSubNodeCaptions) {
    EXPECT_EQ(DeviceCaption(5, "UT10", "", "SN 123"), QStringLiteral("[ 5 ]  UT10: SN 123"));
    EXPECT_EQ(DeviceCaption(0, "UT10", "K1", "SN 123"), QStringLiteral("[ - ]  UT10: K1"));
    EXPECT_EQ(SubNodeCaption("Input", "Input"), QStringLiteral("Input"));
    EXPECT_EQ(SubNodeCaption("Input", "TE 4"), QStringLiteral("Input: TE 4"));
    EXPECT_EQ(SubNodeCaption("Input", " "), QStringLiteral("Input"));
    EXPECT_EQ(NodeIconLogLine(17, 25, 2), QStringLiteral("Icon 17 = 25, Level 2"));
}
