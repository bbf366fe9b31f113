// The write pass and the address change against scripted devices and a user database made
// from the built template database.
#include "devcomm/address_change.h"
#include "devcomm/device_write_pass.h"
#include "devcomm_fixture.h"
#include "scripted_link.h"

#include <gtest/gtest.h>

namespace {

// A UT10 node and its device at station 1.
struct TWriteBench {
    TWriteBench() {
        Node = Db.AddDevice(39, 1, QStringLiteral("UT-0001"));
        Link.PutDevice(1, 0x000D, 0x0106, "UT-0001", 1);
        Link.Devices[1][1003] = 0x1234; // in the block, under a row whose condition fails
    }
    TWriteOutcome Write() {
        TDeviceWritePass pass(Db.Db, Context, Info);
        pass.SetProgress(&Progress);
        pass.SetProgName(QStringLiteral("RERUDADadivod"));
        return pass.Run(Node);
    }
    void SetValue(int modreg, const QString& value) {
        Db.Db.SQLite3Con.Execute(
            QStringLiteral("UPDATE mb_parameter SET value='%1' WHERE modreg=%2 AND pid IN"
                           " (SELECT id FROM mb_node WHERE id=%3 OR parentID=%3)")
                .arg(value)
                .arg(modreg)
                .arg(Node),
            0);
    }
    // The requests of the pass after identification that lie in [from, to).
    std::vector<TScriptedLink::TRequest> RequestsIn(int from, int to) const {
        std::vector<TScriptedLink::TRequest> found;
        for (size_t i = 5; i < Link.Requests.size(); ++i)
            if (Link.Requests[i].Address >= from && Link.Requests[i].Address < to)
                found.push_back(Link.Requests[i]);
        return found;
    }
    int Writes() const {
        int n = 0;
        for (const auto& request : Link.Requests)
            n += request.Function != 3;
        return n;
    }

    TUserDbFixture Db;
    TScriptedLink Link;
    TRecordedMessages Messages;
    TRecordedProgress Progress;
    TDeviceContext Context{Link, Messages, {}, false};
    TDeviceInfo Info;
    int Node = 0;
};

class WritePassTest : public ::testing::Test, public TWriteBench {};

std::string Shape(const std::vector<TScriptedLink::TRequest>& requests) {
    std::string text;
    for (const auto& r : requests)
        text += std::to_string(r.Function) + "@" + std::to_string(r.Address) + "x" +
                std::to_string(r.Count) + " ";
    return text;
}

TEST_F(WritePassTest, BlockRowsAreCollectedAndOwnRowsWrittenAtOnce) {
    SetValue(41002, QStringLiteral("321"));
    SetValue(41011, QStringLiteral("4.5"));
    ASSERT_EQ(Write(), woDone);
    // Input block 41001:8 is read once, written when the own FLOAT row comes, then that row.
    EXPECT_EQ(Shape(RequestsIn(1000, 1014)), "3@1000x4 16@1000x4 16@1010x2 16@1012x2 ");
    auto& r = Link.Devices[1];
    EXPECT_EQ(r[1001], 321);
    EXPECT_EQ(r[1003], 0x1234); // read back into the block, so kept
    EXPECT_EQ(r[1010], 0x4090); // 4.5, high word first
    EXPECT_EQ(r[1011], 0);
    // A relay block is written when the next row with registers of its own comes; the last
    // request closes the pass with the write function last used (a single register here).
    EXPECT_EQ(Shape(RequestsIn(1300, 1302)), "3@1300x2 16@1300x2 ");
    const auto& last = Link.Requests.back();
    EXPECT_EQ(Shape({last}), "6@8212x1 ");
    EXPECT_EQ(r[8212], 67);
    EXPECT_EQ(Link.Closes, 1);
    EXPECT_TRUE(Messages.Shown.isEmpty());
    EXPECT_EQ(Progress.Caption, QStringLiteral("Write Device ..."));
    EXPECT_TRUE(Progress.Finished);
    // The maximum counts writable rows, the position every row (read-only ones too).
    EXPECT_GT(Progress.Position, Progress.Maximum);
    EXPECT_TRUE(Db.Memo.contains(QStringLiteral("Abhaengigkeits-Label IT = 1")));
}

TEST_F(WritePassTest, MemoLinesOfWrittenAndConditionalRows) {
    ASSERT_EQ(Write(), woDone);
    EXPECT_TRUE(Db.Memo.contains(QStringLiteral("Zulaessige Werte: 3, 5, 6, => false")));
    const auto own = std::find_if(Db.Memo.begin(), Db.Memo.end(), [](const QString& line) {
        return line.contains(QStringLiteral(", 41011 (2) => geschrieben: "));
    });
    ASSERT_NE(own, Db.Memo.end());
    // The first own row after the block reports the block's flush.
    EXPECT_TRUE(own->endsWith(QStringLiteral("\t | "))) << own->toStdString();
}

TEST_F(WritePassTest, RowWhoseConditionNamesNoLabelIsLeftOut) {
    Db.Db.SQLite3Con.Execute(
        QStringLiteral("UPDATE mb_parameter SET cond='NOPE' WHERE modreg=41011 AND pid IN"
                       " (SELECT id FROM mb_node WHERE parentID=%1)")
            .arg(Node),
        0);
    ASSERT_EQ(Write(), woDone);
    EXPECT_EQ(Shape(RequestsIn(1010, 1011)), "");
    for (const QString& line : Db.Memo)
        EXPECT_FALSE(line.contains(QStringLiteral(", 41011 ("))) << line.toStdString();
}

TEST_F(WritePassTest, RefusedChecksWriteNothing) {
    const struct {
        const char* name;
        std::function<void(TWriteBench&)> arrange;
        TWriteOutcome outcome;
        QString message;
    } cases[] = {
        {"no device", [](TWriteBench& t) { t.Link.StationValue = 9; }, woNoDevice,
         QStringLiteral("No device found!")},
        {"type", [](TWriteBench& t) { t.Link.Devices[1][3000] = 0x0006; }, woTypeMismatch,
         QStringLiteral("Geraetetyp stimmt nicht mit dem angeschlossenen Geraet ueberein!")},
        {"node", [](TWriteBench& t) { t.Node = 999; }, woNodeNotFound,
         QStringLiteral("Selektiertes Geraet nicht in der Datenbank gefunden!")},
    };
    for (const auto& c : cases) {
        TWriteBench t;
        c.arrange(t);
        EXPECT_EQ(t.Write(), c.outcome) << c.name;
        EXPECT_EQ(t.Messages.Shown, QStringList{c.message}) << c.name;
        EXPECT_EQ(t.Writes(), 0) << c.name;
    }
}

TEST_F(WritePassTest, OtherIdentificationTextAsksFirst) {
    Link.PutText(1, 3002, 10, "UT-0002");
    Messages.Answer = false;
    EXPECT_EQ(Write(), woCancelled);
    EXPECT_EQ(Writes(), 0);
    ASSERT_EQ(Messages.Confirmations.size(), 1);
    EXPECT_TRUE(
        Messages.Confirmations[0].startsWith(QStringLiteral("RERUDADadivod: Der Datensatz")));
    Messages.Answer = true;
    EXPECT_EQ(Write(), woDone);
    EXPECT_GT(Writes(), 0);
}

TEST_F(WritePassTest, NodeWithoutIdentificationTextIsWrittenWithoutAsking) {
    Db.Db.SQLite3Con.Execute(QStringLiteral("UPDATE mb_node SET rfid='  ' WHERE id=%1").arg(Node),
                             0);
    Link.PutText(1, 3002, 10, "SOMETHING");
    EXPECT_EQ(Write(), woDone);
    EXPECT_TRUE(Messages.Confirmations.isEmpty());
}

TEST_F(WritePassTest, DeviceOutsidePcModeIsToldAndWritten) {
    Link.Devices[1][102] = 1;
    EXPECT_EQ(Write(), woDone);
    EXPECT_EQ(Messages.Shown, QStringList{QStringLiteral("kein PC-Mode!")});
    EXPECT_GT(Writes(), 1);
}

TEST_F(WritePassTest, FailuresMarkTheirRowsAndThePassGoesOn) {
    Context.ServiceMode = true;
    Link.Failing = {1010, 1300}; // an own row's write, a block's read
    // A row longer than the encoding buffer of own rows is refused.
    Db.Db.SQLite3Con.Execute(
        QStringLiteral("UPDATE mb_parameter SET regcnt=17 WHERE modreg=41013 AND pid IN"
                       " (SELECT id FROM mb_node WHERE parentID=%1)")
            .arg(Node),
        0);
    ASSERT_EQ(Write(), woDone);
    auto lineOf = [&](int modreg) {
        for (const QString& line : Db.Memo)
            if (line.contains(QStringLiteral(", %1 (").arg(modreg)))
                return line;
        return QString();
    };
    EXPECT_TRUE(lineOf(41011).contains(QStringLiteral("=> geschrieben: Error")));
    EXPECT_TRUE(lineOf(41301).contains(QStringLiteral("=> geschrieben: Error")));
    EXPECT_TRUE(lineOf(41013).contains(QStringLiteral("=> geschrieben: Error")));
    EXPECT_EQ(Shape(RequestsIn(1012, 1013)), "");
    EXPECT_EQ(Link.Devices[1][8212], 67);
    EXPECT_TRUE(
        Messages.Shown.contains(QStringLiteral("WRITE-Error: ") +
                                QString::fromLatin1(ProtocolIOResultText(ioIllegalRegAddress)) +
                                QStringLiteral(" (RTUDriver)")));
}

struct TAddressBench : TWriteBench {
    TAddressOutcome Change(int from, int to) {
        return ChangeDeviceAddress(Db.Db, Context, Info, from, to);
    }
    QString NodeAddress(int id) const {
        return Db
            .Rows(QStringLiteral("SELECT n.addr || '|' || p.value FROM mb_node n JOIN mb_parameter"
                                 " p ON p.pid=n.id WHERE n.id=%1 AND p.modreg=45010")
                      .arg(id))
            .value(0);
    }
};

class AddressChangeTest : public ::testing::Test, public TAddressBench {};

TEST_F(AddressChangeTest, DeviceMovesAndTheDatabaseFollows) {
    const int other = Db.AddDevice(39, 2, QStringLiteral("UT-0002"));
    EXPECT_EQ(Change(1, 5), aoDone);
    EXPECT_EQ(NodeAddress(Node), QStringLiteral("5|5"));
    EXPECT_EQ(NodeAddress(other), QStringLiteral("2|1"));
    EXPECT_EQ(Link.StationValue, 5);
    EXPECT_EQ(Shape({Link.Requests[5]}), "6@5009x1 ");
    EXPECT_EQ(Link.Requests[5].Station, 1);
    EXPECT_EQ(Link.Requests[6].Station, 5);
    EXPECT_EQ(Context.LastWriteFunction, 6);
    EXPECT_TRUE(Db.Log.contains(QStringLiteral("Adressänderung von: 1 nach: 5")));
    EXPECT_TRUE(Messages.Shown.isEmpty());
}

TEST_F(AddressChangeTest, ServiceInterfaceWritesAndIdentifiesAtStation68) {
    Link.Service = true;
    Link.Devices[68] = Link.Devices[1];
    EXPECT_EQ(Change(1, 7), aoDone);
    for (const auto& request : Link.Requests)
        EXPECT_EQ(request.Station, 68);
    EXPECT_EQ(NodeAddress(Node), QStringLiteral("7|7"));
}

TEST_F(AddressChangeTest, FailuresLeaveTheDatabaseAlone) {
    {
        TAddressBench t;
        t.Link.FailingWrites = {5009};
        EXPECT_EQ(t.Change(1, 5), aoWriteFailed);
        EXPECT_EQ(t.Link.Closes, 1);
        EXPECT_TRUE(t.Messages.Shown.isEmpty());
        EXPECT_EQ(t.NodeAddress(t.Node), QStringLiteral("1|1"));
    }
    {
        TAddressBench t;
        t.Link.MovesOnAddressWrite = false;
        t.Link.PutDevice(5, 0x000D, 0x0106, "UT-0009", 5);
        EXPECT_EQ(t.Change(1, 5), aoOtherDevice);
        EXPECT_EQ(t.Messages.Shown, QStringList{QStringLiteral("Adressänderung fehlgeschlagen")});
        EXPECT_EQ(t.NodeAddress(t.Node), QStringLiteral("1|1"));
    }
    {
        TAddressBench t;
        t.Link.MovesOnAddressWrite = false;
        EXPECT_EQ(t.Change(1, 5), aoNoDeviceAtNewAddress);
        EXPECT_EQ(t.Messages.Shown, QStringList{QStringLiteral("No device found!")});
        EXPECT_EQ(t.Link.StationValue, 5); // the settings follow the device
    }
    EXPECT_EQ(Change(3, 5), aoNoDevice);
}

TEST_F(AddressChangeTest, DeviceWithoutIdentificationTextChangesOnlyItsOwnNode) {
    Db.Db.SQLite3Con.Execute(QStringLiteral("UPDATE mb_node SET rfid=''"), 0);
    const int other = Db.AddDevice(39, 2, QString());
    Link.PutText(1, 3002, 10, "");
    EXPECT_EQ(Change(1, 5), aoDone);
    EXPECT_EQ(NodeAddress(Node), QStringLiteral("5|5"));
    EXPECT_EQ(NodeAddress(other), QStringLiteral("2|1"));
}

} // namespace
