// Identification and the read pass against scripted devices and a fresh user database made from
// the built template database.
#include "devcomm/device_read_pass.h"
#include "devcomm/identify_device.h"
#include "devcomm_fixture.h"
#include "scripted_link.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString ReadError(TProtocolIOResult result) {
    return QStringLiteral("READ-Error: ") + QString::fromLatin1(ProtocolIOResultText(result)) +
           QStringLiteral(" (RTUDriver)");
}

class ReadPassTest : public ::testing::Test {
protected:
    TReadPassResult Read() {
        TDeviceReadPass pass(Db.Db, Db.Nodes, Context, Info);
        pass.SetProgress(&Progress);
        pass.OnClearMemo = [this] { Db.Memo.clear(); };
        return pass.Run();
    }
    TNodeMatch Find() {
        TDeviceReadPass pass(Db.Db, Db.Nodes, Context, Info);
        return pass.FindDeviceNode();
    }
    QString Value(int nodeId, int modreg) const {
        const QStringList rows = Db.Rows(
            QStringLiteral("SELECT p.value FROM mb_parameter p JOIN mb_node n ON p.pid=n.id"
                           " WHERE (n.id=%1 OR n.parentID=%1) AND p.modreg=%2 ORDER BY p.id")
                .arg(nodeId)
                .arg(modreg));
        return rows.value(0);
    }
    int UpdateStatements() const {
        return static_cast<int>(std::count_if(Db.Traces.begin(), Db.Traces.end(), [](auto& t) {
            return t.first == 14 && t.second.startsWith(QStringLiteral("UPDATE"));
        }));
    }

    TUserDbFixture Db;
    TScriptedLink Link;
    TRecordedMessages Messages;
    TRecordedProgress Progress;
    TDeviceContext Context{Link, Messages, {}, false};
    TDeviceInfo Info;
};

TEST(ProposedAddressTest, FromTheDeviceCaption) {
    const struct {
        const char* caption;
        int address;
    } cases[] = {{"[ 5 ]  UT10", 5},   {"[ 12 ]  UT10: TT-101", 12},
                 {"[ 247 ] AI4", 247}, {"[ - ]  DI4", 3},
                 {"Segment 1", 3},     {"", 3}};
    for (const auto& c : cases)
        EXPECT_EQ(ProposedAddress(QString::fromLatin1(c.caption), 3), c.address) << c.caption;
}

TEST_F(ReadPassTest, IdentificationDecodesTheFixedRegisters) {
    Link.PutDevice(1, 0x0102, 0x0106, std::string("AB\0\0\x01Z", 6), 7, "TT-101");
    ASSERT_TRUE(IdentifyDevice(Context, Info));
    EXPECT_EQ(Info.DeviceType, 2);
    EXPECT_EQ(Info.Variant, 1);
    EXPECT_EQ(DeviceTypeCode(Info), QStringLiteral("0102"));
    EXPECT_EQ(Info.Oem, 3);
    EXPECT_EQ(Info.HardwareVersion, 'B');
    EXPECT_EQ(VersionText(Info), QStringLiteral("0106"));
    EXPECT_EQ(Info.Rfid, QStringLiteral("ABZ")); // zero and control bytes skipped
    EXPECT_EQ(Info.Maker, QStringLiteral("Kolvane"));
    EXPECT_EQ(Info.DeviceName, QStringLiteral("Transmitter"));
    EXPECT_EQ(Info.ParameterSet, 0);
    EXPECT_EQ(Info.Address, 7);
    EXPECT_EQ(Info.MeasuringPoint, QStringLiteral("TT-101"));
    std::vector<int> addresses;
    for (const auto& request : Link.Requests)
        addresses.push_back(request.Address);
    EXPECT_EQ(addresses, (std::vector<int>{3000, 3028, 102, 5009, 5150}));
}

TEST_F(ReadPassTest, FailedIdentificationKeepsWhatWasReadAndReportsInServiceMode) {
    Link.PutDevice(1, 0x000D, 0x0106, "R1", 1);
    Link.Failing = {102};
    Context.ServiceMode = true;
    EXPECT_FALSE(IdentifyDevice(Context, Info));
    EXPECT_EQ(DeviceTypeCode(Info), QStringLiteral("000D"));
    EXPECT_EQ(Info.Rfid, QStringLiteral("R1"));
    EXPECT_EQ(Info.ParameterSet, 1);
    EXPECT_EQ(Info.Address, 0);
    EXPECT_EQ(Messages.Shown, QStringList{ReadError(ioIllegalRegAddress)});
    EXPECT_EQ(Link.Detaches, 1);
}

TEST_F(ReadPassTest, PortThatDoesNotOpenFindsNoDevice) {
    Link.PortOpens = false;
    Link.PutDevice(1, 0x000D, 0x0106, "R1", 1);
    EXPECT_EQ(Read().Outcome, roNoDevice);
    EXPECT_EQ(Messages.Shown, QStringList{QStringLiteral("No device found!")});
    EXPECT_TRUE(Link.Requests.empty());
}

TEST_F(ReadPassTest, SilentDeviceFindsNoDeviceAndStoresNothing) {
    Link.StationValue = 9;
    const TReadPassResult result = Read();
    EXPECT_EQ(result.Outcome, roNoDevice);
    EXPECT_EQ(Messages.Shown, QStringList{QStringLiteral("No device found!")});
    EXPECT_TRUE(Db.Rows(QStringLiteral("SELECT id FROM mb_node")).isEmpty());
    EXPECT_EQ(UpdateStatements(), 0);
    EXPECT_EQ(Link.Requests.size(), 1u); // the first identification read only
}

struct TMatchCase {
    const char* name;
    const char* deviceRfid;
    int deviceAddress;
    std::vector<std::pair<int, const char*>> nodes; // addr, rfid of UT10 nodes
    TNodeMatch::TKind kind;
    int nodeIndex; // which node of the list is found
};

class NodeMatchTest : public ReadPassTest, public ::testing::WithParamInterface<TMatchCase> {};

TEST_P(NodeMatchTest, FindsTheNodeOfTheIdentifiedDevice) {
    const TMatchCase& c = GetParam();
    std::vector<int> ids;
    for (const auto& [addr, rfid] : c.nodes)
        ids.push_back(Db.AddDevice(39, addr, QString::fromLatin1(rfid)));
    Db.AddDevice(34, c.deviceAddress, QString::fromLatin1(c.deviceRfid)); // an AI4: other type
    Info.DeviceType = 0x0D;
    Info.Address = static_cast<uint8_t>(c.deviceAddress);
    Info.Rfid = QString::fromLatin1(c.deviceRfid);
    const TNodeMatch match = Find();
    EXPECT_EQ(match.Kind, c.kind);
    if (c.kind == TNodeMatch::nmNode) {
        EXPECT_EQ(match.NodeId, ids[static_cast<size_t>(c.nodeIndex)]);
        EXPECT_EQ(match.SegmentId, Db.Nodes.CurrentSegmentId());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NodeMatchTest,
    ::testing::Values(
        TMatchCase{"AddressAndRfid", "R1", 1, {{1, "R1"}, {2, "R2"}}, TNodeMatch::nmNode, 0},
        TMatchCase{"KnownRfidNewAddress", "R1", 5, {{1, "R1"}, {2, "R2"}}, TNodeMatch::nmNode, 0},
        TMatchCase{"AddressOnly", "R9", 2, {{1, "R1"}, {2, "R2"}}, TNodeMatch::nmNode, 1},
        TMatchCase{"AddressOfOneRfidOfAnother",
                   "R1",
                   2,
                   {{1, "R1"}, {2, "R2"}},
                   TNodeMatch::nmConflict,
                   0},
        TMatchCase{"NoNodeOfTheType", "R1", 1, {}, TNodeMatch::nmNew, 0},
        TMatchCase{"RfidWithApostrophe", "O'R", 4, {{3, "O'R"}}, TNodeMatch::nmNode, 0},
        // Without identification text only the address tells devices apart.
        TMatchCase{"EmptyRfidByAddress", "", 2, {{1, ""}, {2, ""}}, TNodeMatch::nmNode, 1},
        TMatchCase{"EmptyRfidNewAddress", "", 3, {{1, ""}, {2, ""}}, TNodeMatch::nmNew, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadPassTest, AddressConflictNamesTheAddressAndStoresNothing) {
    Db.AddDevice(39, 1, QStringLiteral("R1"));
    Db.AddDevice(39, 2, QStringLiteral("R2"));
    Link.PutDevice(1, 0x000D, 0x0106, "R1", 2);
    Db.Traces.clear();
    EXPECT_EQ(Read().Outcome, roAddressConflict);
    EXPECT_EQ(Messages.Shown, QStringList{QStringLiteral("erst Adr 2 freimachen")});
    EXPECT_EQ(UpdateStatements(), 0);
}

TEST_F(ReadPassTest, UnknownTypeAddsNothing) {
    Link.PutDevice(1, 0x00FF, 0x0100, "R1", 1);
    EXPECT_EQ(Read().Outcome, roUnknownType);
    EXPECT_EQ(Messages.Shown, QStringList{QStringLiteral("Gerätetyp unbekannt!")});
    EXPECT_TRUE(Db.Rows(QStringLiteral("SELECT id FROM mb_node")).isEmpty());
}

TEST_F(ReadPassTest, VersionSelectsTheTemplate) {
    Link.PutDevice(1, 0x000D, 0x0105, "R1", 1);
    const TReadPassResult result = Read();
    ASSERT_EQ(result.Outcome, roDone);
    EXPECT_TRUE(result.NodeAdded);
    EXPECT_EQ(Db.Rows(QStringLiteral("SELECT id FROM mb_node WHERE parentID=0")).size(), 1);
    // Template 13 holds the devices up to firmware 0105.
    TDeviceReadPass pass(Db.Db, Db.Nodes, Context, Info);
    EXPECT_EQ(pass.FindTemplateNode(), 13);
}

class UT10ReadTest : public ReadPassTest {
protected:
    UT10ReadTest() {
        Link.PutDevice(1, 0x000D, 0x0106, "UT-0001", 1, "TT-101");
        auto& r = Link.Devices[1];
        r[1001] = 1234;   // 41002, in block 41001:8
        r[1010] = 0x4080; // 41011 FLOAT 4.0, high word first
        r[1302] = 0x4180; // 41303 FLOAT 16.0, own registers after a failing block
        r[1311] = 77;     // 41312, in block 41311:4
        Link.Failing = {1300};
    }
};

TEST_F(UT10ReadTest, UnknownDeviceIsAddedAndReadWithCopies) {
    const TReadPassResult result = Read();
    ASSERT_EQ(result.Outcome, roDone);
    EXPECT_TRUE(result.NodeAdded);
    EXPECT_TRUE(Messages.Shown.isEmpty());
    const int id = result.NodeId;
    EXPECT_EQ(
        Db.Rows(QStringLiteral("SELECT addr, tag, rfid, devid FROM mb_node WHERE id=%1").arg(id)),
        QStringList{QStringLiteral("1|TT-101|UT-0001|000D")});
    EXPECT_EQ(Value(id, 41002), QStringLiteral("1234"));
    EXPECT_EQ(Value(id, 41011), QStringLiteral("4"));
    EXPECT_EQ(Value(id, 41303), QStringLiteral("16"));
    EXPECT_EQ(Value(id, 41312), QStringLiteral("77"));
    EXPECT_EQ(Link.Closes, 1);
    EXPECT_TRUE(Db.Log.contains(QStringLiteral("REFRESH NodeTree")));
}

TEST_F(UT10ReadTest, BlockIsReadOnceAndAFailingBlockGivesErrorRows) {
    Context.ServiceMode = true;
    const TReadPassResult result = Read();
    ASSERT_EQ(result.Outcome, roDone);
    EXPECT_EQ(Link.ReadsAt(1000), 1);
    // Each row of the failing block tries again, the cache being emptied by the failure.
    EXPECT_EQ(Link.ReadsAt(1300), 3);
    EXPECT_EQ(Value(result.NodeId, 41301), QStringLiteral("Error"));
    EXPECT_EQ(Value(result.NodeId, 41302), QStringLiteral("Error"));
    EXPECT_EQ(Messages.Shown.size(), 3);
    EXPECT_EQ(Messages.Shown.value(0), ReadError(ioIllegalRegAddress));
}

TEST_F(UT10ReadTest, MemoProgressAndOneTransactionPerNode) {
    const TReadPassResult result = Read();
    ASSERT_EQ(result.Outcome, roDone);
    const QStringList nodes =
        Db.Rows(QStringLiteral(
                    "SELECT id FROM mb_node WHERE id=%1 OR parentID=%1 ORDER BY parentID, sorting")
                    .arg(result.NodeId));
    ASSERT_GT(nodes.size(), 1);
    ASSERT_FALSE(Db.Memo.isEmpty());
    EXPECT_EQ(Db.Memo.value(0), QStringLiteral("Nodes: ") + nodes.join(QLatin1Char(',')));
    const QString readable = Db.Rows(QStringLiteral("SELECT count(*) FROM mb_parameter WHERE pid"
                                                    " IN(%1) AND (access & 1)=1")
                                         .arg(nodes.join(QLatin1Char(','))))
                                 .value(0);
    EXPECT_EQ(Db.Memo.value(1), QStringLiteral("Gesamte Kommunikationen: ") + readable);
    EXPECT_EQ(Progress.Caption, QStringLiteral("Read Device ..."));
    EXPECT_EQ(QString::number(Progress.Maximum), readable);
    EXPECT_EQ(Progress.Position, Progress.Maximum);
    EXPECT_TRUE(Progress.Finished);
    const auto line = std::find_if(Db.Memo.begin(), Db.Memo.end(), [](const QString& l) {
        return l.contains(QStringLiteral(", 45010 (1) = "));
    });
    ASSERT_NE(line, Db.Memo.end());
    EXPECT_TRUE(line->contains(QStringLiteral("\t\t=> gelesen: 1\t | 00 01")));
    EXPECT_TRUE(line->endsWith(QStringLiteral("\tCopyto: mb_node.addr")));
    // One value statement per readable row, plus the copies.
    EXPECT_GE(UpdateStatements(), readable.toInt());
}

TEST_F(UT10ReadTest, SecondReadFindsTheSameNodeAndReadsAgain) {
    const int first = Read().NodeId;
    const size_t requests = Link.Requests.size();
    Link.Devices[1][1001] = 4321;
    const TReadPassResult again = Read();
    EXPECT_EQ(again.NodeId, first);
    EXPECT_FALSE(again.NodeAdded);
    EXPECT_EQ(Link.Requests.size(), 2 * requests);
    EXPECT_EQ(Value(first, 41002), QStringLiteral("4321"));
}

} // namespace
