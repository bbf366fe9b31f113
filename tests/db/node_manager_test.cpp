#include "db/node_manager.h"

#include "node_fixture.h"

#include <gtest/gtest.h>

namespace {

class NodeManagerTest : public ::testing::Test {
protected:
    NodeManagerTest() : Manager(F.Db) {
        Manager.SetReplaceTags(&TestReplaceTags);
        Manager.SetProgress(&Progress);
        Manager.SetProgressCaption(QStringLiteral("Knoten hinzufuegen"));
    }

    TNodeFixture F;
    TRecordingProgress Progress;
    TNodeManager Manager;
};

} // namespace

TEST_F(NodeManagerTest, AddingADeviceCopiesNodesAndParameterRowsWithPlaceholdersResolved) {
    const int id = Manager.AddNodeFromTemplate(39);

    ASSERT_GT(id, 0);
    const QString columns = "SELECT pid,sorting,title,parentID,name,fullnameID,devid,vendorID,"
                            "icon,icon_active,minversion,maxversion,addr,cond,vallist,load "
                            "FROM mb_node ORDER BY id";
    const QString d = QString::number(id);
    EXPECT_EQ(F.UserRows(columns),
              QStringList({"1|1|UT10 (ab V1.6)|0|UT10|200|000D|1|20|21|||0|||41001,41101",
                           "1|1|Input|" + d + "|Input|202|000D|1|22|22|||0|||",
                           "1|2|Relay's contact|" + d + "|Relay|204|000D|1|25|25|||0|IT|1,2|"}));
    // Every parameter row of each template node hangs on its copy; the common rows stay.
    EXPECT_EQ(F.UserRows("SELECT n.title, p.modreg, p.type, p.value, p.min, p.block, p.byteofs,"
                         " p.label, p.cond, p.vallist FROM mb_parameter AS p JOIN mb_node AS n"
                         " ON n.id=p.pid ORDER BY p.id"),
              QStringList({"UT10 (ab V1.6)|45010|UINT16|1|1|0|0|||",
                           "Input|41001|SELECT_UT_INPUT|1||41001:8|0:1|IT||",
                           "Input|41002|FLOAT|0.5|-10|0|0||IT|3,5",
                           "Relay's contact|41301|ASCII16|Kessel 'A'||0|0|||"}));
    EXPECT_EQ(F.UserRows("SELECT count(*) FROM mb_parameter WHERE pid=0"), QStringList({"2"}));
}

TEST_F(NodeManagerTest, AddingRunsTheStatementsInOrderWithTheirTraceNumbersAndProgress) {
    const int id = Manager.AddNodeFromTemplate(39);

    // Count, device row, device insert, its parameter copy, sub-node rows, then per sub-node
    // its insert and its parameter copy.
    EXPECT_EQ(F.TraceNumbers(), (std::vector<int>{8, 9, 11, 11, 13, 10, 12, 11, 13, 12, 11, 13}));
    EXPECT_EQ(Progress.Calls,
              QStringList({"start Knoten hinzufuegen 3", "step 1", "step 2", "step 3", "finish"}));
    ASSERT_EQ(F.Memo.size(), 3);
    EXPECT_TRUE(F.Memo[1].startsWith("SQL: INSERT INTO mb_parameter (pid,sorting,modreg,"));
    EXPECT_TRUE(F.Memo[2].contains("'Kessel ''A'''"));
    const auto deviceInsert = F.Traces[2].second;
    EXPECT_TRUE(deviceInsert.startsWith(
        "INSERT INTO mb_node (pid,sorting,title,name,fullnameID,devid,vendorID,icon,icon_active,"
        "cond,vallist,load,collapse) VALUES(1,1,'UT10 (ab V1.6)','UT10',200,'000D',1,20,21,"))
        << deviceInsert.toStdString();
    EXPECT_EQ(F.Traces[9].second,
              "INSERT INTO mb_node (pid,sorting,title,parentID,name,fullnameID,devid,vendorID,icon,"
              "icon_active,cond,vallist,load,collapse) VALUES(1,2,'Relay''s contact'," +
                  QString::number(id) + ",'Relay',204,'000D',1,25,25,'IT','1,2','','')");
}

TEST_F(NodeManagerTest, DeviceWithoutSubNodesGetsItsRowsAndAProgressOfOne) {
    Manager.SetCurrentSegmentId(7);
    const int id = Manager.AddNodeFromTemplate(13);

    EXPECT_EQ(F.UserRows("SELECT id, pid, parentID, title FROM mb_node"),
              QStringList({QString::number(id) + "|7|0|UT10"}));
    EXPECT_EQ(Progress.Calls, QStringList({"start Knoten hinzufuegen 1", "step 1", "finish"}));
    EXPECT_EQ(F.Memo, QStringList({"SQL: "}));
}

TEST_F(NodeManagerTest, MissingTemplateNodeAddsNothingAndClosesTheProgressWindow) {
    EXPECT_EQ(Manager.AddNodeFromTemplate(4711), -1);
    EXPECT_EQ(F.UserRows("SELECT count(*) FROM mb_node"), QStringList({"0"}));
    EXPECT_EQ(Progress.Calls, QStringList({"start Knoten hinzufuegen 1", "finish"}));
}

TEST_F(NodeManagerTest, DeletingRemovesTheDeviceItsSubNodesAndAllTheirParameterRows) {
    const int first = Manager.AddNodeFromTemplate(39);
    const int second = Manager.AddNodeFromTemplate(39);
    const QStringList secondRows =
        F.UserRows("SELECT p.id FROM mb_parameter AS p JOIN mb_node AS n ON n.id=p.pid WHERE "
                   "n.id=" +
                   QString::number(second) + " OR n.parentID=" + QString::number(second));
    F.Traces.clear();
    F.Memo.clear();

    const std::vector<int> deleted = Manager.DeleteDevice(first);

    ASSERT_EQ(deleted.size(), 3u);
    EXPECT_EQ(deleted[0], first);
    EXPECT_EQ(F.UserRows("SELECT count(*) FROM mb_node WHERE id=" + QString::number(first) +
                         " OR parentID=" + QString::number(first)),
              QStringList({"0"}));
    EXPECT_EQ(F.UserRows("SELECT count(*) FROM mb_node"), QStringList({"3"}));
    EXPECT_EQ(F.UserRows("SELECT id FROM mb_parameter WHERE pid<>0"), secondRows);
    EXPECT_EQ(F.UserRows("SELECT count(*) FROM mb_parameter WHERE pid=0"), QStringList({"2"}));
    EXPECT_EQ(F.TraceNumbers(), (std::vector<int>{1, 3, 4}));
    const QString ids = QStringLiteral("%1,%2,%3").arg(deleted[0]).arg(deleted[1]).arg(deleted[2]);
    EXPECT_EQ(F.Memo,
              QStringList({"SQL: SELECT id FROM mb_node WHERE parentID=" + QString::number(first),
                           "SQL: DELETE FROM mb_node WHERE id IN(" + ids + ")",
                           "SQL: DELETE FROM mb_parameter WHERE pid IN(" + ids + ")"}));
}

TEST_F(NodeManagerTest, AddNodeListShowsTheBrandsDevicesInTemplateOrderAndLanguage) {
    struct Case {
        const char* Devices;
        const char* Language;
        QStringList Expected;
    };
    const Case cases[] = {
        // Sorted by maxversion first (empty before "0105"), then by the long name.
        {"39,14,13,8",
         "en",
         {"8=DI4 digital inputs", "39=UT10 universal transmitter", "13=UT10 old"}},
        {"13,39", "fr", {"39=Transmetteur universel UT10", "13=UT10 ancien"}},
        {"39", "xx", {"39=UT10 universal transmitter"}},
        // Entries that are no whole numbers cannot reach the statement.
        {"39,1) OR (1=1", "de", {"39=UT10 Universaltransmitter"}},
        {"", "de", {}},
    };
    for (const Case& c : cases) {
        QStringList got;
        for (const TAddNodeEntry& e : Manager.AddNodeList(c.Devices, c.Language))
            got << QString::number(e.Id) + "=" + e.Text;
        EXPECT_EQ(got, c.Expected) << c.Devices << " " << c.Language;
    }
}
