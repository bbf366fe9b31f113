// Identification and reading against the device simulator over Modbus TCP, over Modbus RTU on
// the pseudo-terminal it creates, and through a device's service interface.
#include "devcomm/address_change.h"
#include "devcomm/device_connection.h"
#include "devcomm/device_read_pass.h"
#include "devcomm/device_write_pass.h"
#include "devcomm/identify_device.h"
#include "devcomm_fixture.h"
#include "devsim_process.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

class TSim : public TDevsimProcess {
public:
    explicit TSim(const std::vector<std::string>& args)
        : TDevsimProcess(PARSETTA_DEVSIM, PARSETTA_DEVICES_DB, args) {}

    // The identification text the simulator gave the device at station.
    QString Rfid(int station) const {
        const std::regex pattern("station " + std::to_string(station) +
                                 ": .*identification ([^ ,]+)");
        std::smatch match;
        for (const std::string& line : lines)
            if (std::regex_search(line, match, pattern))
                return QString::fromStdString(match[1]);
        return {};
    }
};

class DeviceE2eTest : public ::testing::Test {
protected:
    DeviceE2eTest() { Connection.SetSettleMs(100); }

    void UseTcp(int port, int address) {
        TModbusSetting s;
        s.Protocol = ProtocolTCP;
        s.Host = QStringLiteral("127.0.0.1");
        s.Port = port;
        s.Timeout = 500;
        s.Address = address;
        Connection.ApplyConnectionSettings(s);
    }
    void UseSerial(int protocol, const QString& link, int baudIndex, int address, int timeout) {
        TModbusSetting s;
        s.Protocol = protocol;
        s.COMPort = link;
        s.BaudRate = baudIndex;
        s.Timeout = timeout;
        s.Address = address;
        Connection.ApplyConnectionSettings(s);
    }
    // Starts the simulator on a pseudo-terminal and waits until it listens.
    std::unique_ptr<TSim> StartPty(std::vector<std::string> args) {
        std::vector<std::string> all{"--pty", Link.toStdString()};
        all.insert(all.end(), args.begin(), args.end());
        auto sim = std::make_unique<TSim>(all);
        EXPECT_FALSE(sim->WaitForLine(std::regex("listening:")).empty());
        return sim;
    }
    TReadPassResult Read() {
        TDeviceReadPass pass(Db.Db, Db.Nodes, Context, Info);
        return pass.Run();
    }
    // The writable rows without condition (those the simulator fills with their factory value)
    // other than the address; how many there are, and those whose stored value differs.
    static QString FactoryRows(int nodeId, const QString& columns, const QString& extra) {
        return QStringLiteral("SELECT %2 FROM mb_parameter p JOIN mb_node n ON p.pid=n.id"
                              " WHERE (n.id=%1 OR n.parentID=%1) AND (p.access & 3)=3"
                              " AND p.cond='' AND p.modreg<>45010")
                   .arg(nodeId)
                   .arg(columns) +
               extra;
    }
    void ExpectFactoryValues(int nodeId) const {
        EXPECT_GE(Db.Rows(FactoryRows(nodeId, QStringLiteral("count(*)"), {})).value(0).toInt(), 5);
        EXPECT_EQ(Db.Rows(FactoryRows(
                      nodeId,
                      QStringLiteral("p.modreg || ' ' || p.type || ' ' || p.value || ' <> ' ||"
                                     " p.factory"),
                      QStringLiteral(" AND p.value<>p.factory"))),
                  QStringList());
    }
    QString NodeColumns(int nodeId) const {
        return Db
            .Rows(QStringLiteral("SELECT devid, addr, tag, rfid FROM mb_node WHERE id=%1")
                      .arg(nodeId))
            .value(0);
    }

    TUserDbFixture Db;
    const QString Link = Db.Dir.filePath(QStringLiteral("line"));
    TDeviceConnection Connection;
    TRecordedMessages Messages;
    TDeviceContext Context{Connection, Messages, {}, false};
    TDeviceInfo Info;
};

TEST_F(DeviceE2eTest, IdentifiesSimulatedDevicesOverTcp) {
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1", "--device", "0006@2"});
    const int port = sim.Port();
    ASSERT_GT(port, 0);
    UseTcp(port, 1);
    ASSERT_TRUE(IdentifyDevice(Context, Info));
    EXPECT_EQ(DeviceTypeCode(Info), QStringLiteral("000D"));
    EXPECT_EQ(VersionText(Info), QStringLiteral("0106"));
    EXPECT_EQ(Info.Address, 1);
    EXPECT_EQ(Info.Rfid, sim.Rfid(1));
    EXPECT_FALSE(Info.Rfid.isEmpty());
    Connection.SetAddress(2);
    ASSERT_TRUE(IdentifyDevice(Context, Info));
    EXPECT_EQ(DeviceTypeCode(Info), QStringLiteral("0006"));
    EXPECT_EQ(Info.Address, 2);
    EXPECT_EQ(Info.Rfid, sim.Rfid(2));
    EXPECT_TRUE(Messages.Shown.isEmpty());
}

TEST_F(DeviceE2eTest, ReadsUT10AndAI4IntoAFreshDatabase) {
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1", "--device", "0006@2"});
    const int port = sim.Port();
    ASSERT_GT(port, 0);
    for (int address : {1, 2}) {
        UseTcp(port, address);
        const TReadPassResult result = Read();
        ASSERT_EQ(result.Outcome, roDone) << Messages.Shown.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(result.NodeAdded);
        ExpectFactoryValues(result.NodeId);
        const QString devid = address == 1 ? QStringLiteral("000D") : QStringLiteral("0006");
        EXPECT_EQ(NodeColumns(result.NodeId), devid + QStringLiteral("|%1|%2|%3")
                                                          .arg(address)
                                                          .arg(Info.MeasuringPoint.trimmed())
                                                          .arg(sim.Rfid(address)));
        EXPECT_FALSE(Connection.TCPport.Active()); // closed at the end of the pass
    }
    EXPECT_TRUE(Messages.Shown.isEmpty());
    EXPECT_EQ(Db.Rows(QStringLiteral("SELECT id FROM mb_node WHERE parentID=0")).size(), 2);
}

TEST_F(DeviceE2eTest, ReadsOverRtuOnThePseudoTerminal) {
    auto sim = StartPty({"--device", "000D@3"});
    UseSerial(ProtocolRTU, Link, 6, 3, 300);
    const TReadPassResult result = Read();
    ASSERT_EQ(result.Outcome, roDone) << Messages.Shown.join(QLatin1Char('\n')).toStdString();
    ExpectFactoryValues(result.NodeId);
    EXPECT_EQ(NodeColumns(result.NodeId),
              QStringLiteral("000D|3|%1|%2").arg(Info.MeasuringPoint.trimmed(), sim->Rfid(3)));
}

TEST_F(DeviceE2eTest, ServiceInterfaceAnswersAtStation68WhateverTheAddress) {
    auto sim = StartPty({"--service", "--device", "0106@3"});
    UseSerial(ProtocolDevice, Link, 5, 1, 300);
    ASSERT_TRUE(IdentifyDevice(Context, Info));
    EXPECT_EQ(DeviceTypeCode(Info), QStringLiteral("0106"));
    EXPECT_EQ(Info.Address, 3);
}

TEST_F(DeviceE2eTest, SilentStationTimesOutAndNothingIsStored) {
    auto sim = StartPty({"--device", "000D@3"});
    UseSerial(ProtocolRTU, Link, 6, 9, 100);
    Context.ServiceMode = true;
    EXPECT_EQ(Read().Outcome, roNoDevice);
    // A silent line ends the request without an answer; the service-mode message names it.
    ASSERT_EQ(Messages.Shown.size(), 2);
    EXPECT_TRUE(Messages.Shown[0].startsWith(QStringLiteral("READ-Error: ")));
    EXPECT_TRUE(Messages.Shown[0].endsWith(QStringLiteral(" (RTUDriver)")));
    EXPECT_EQ(Messages.Shown[1], QStringLiteral("No device found!"));
    EXPECT_TRUE(Db.Rows(QStringLiteral("SELECT id FROM mb_node")).isEmpty());
    // The next command attaches and opens afresh and finds the device at its address.
    Connection.SetAddress(3);
    EXPECT_TRUE(IdentifyDevice(Context, Info));
}

TEST_F(DeviceE2eTest, DeviceOfAnotherTypeAtTheNodesAddressGetsANodeOfItsOwn) {
    const int ai4 = Db.AddDevice(34, 1, QStringLiteral("AI4-OLD"));
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1"});
    UseTcp(sim.Port(), 1);
    const TReadPassResult result = Read();
    ASSERT_EQ(result.Outcome, roDone);
    EXPECT_NE(result.NodeId, ai4);
    EXPECT_TRUE(result.NodeAdded);
    EXPECT_EQ(NodeColumns(ai4), QStringLiteral("0006|1||AI4-OLD"));
}

TEST_F(DeviceE2eTest, PortThatFailedToOpenIsTriedAgainByTheNextCommand) {
    auto first = StartPty({"--device", "000D@3"});
    UseSerial(ProtocolRTU, Link, 6, 3, 300);
    first.reset();
    // The simulator has gone with its line: the port cannot open.
    EXPECT_FALSE(Connection.OpenConnection());
    EXPECT_FALSE(IdentifyDevice(Context, Info));
    auto sim = StartPty({"--device", "000D@3"});
    ASSERT_TRUE(IdentifyDevice(Context, Info));
    EXPECT_EQ(Info.Address, 3);
}

TEST_F(DeviceE2eTest, WrittenValuesAreReadBackAndTheAddressChanges) {
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1,rfid=UT-E2E"});
    UseTcp(sim.Port(), 1);
    const int node = Read().NodeId;
    ASSERT_GT(node, 0);
    auto setValue = [&](int modreg, const char* value) {
        Db.Db.SQLite3Con.Execute(
            QStringLiteral("UPDATE mb_parameter SET value='%1' WHERE modreg=%2 AND pid IN"
                           " (SELECT id FROM mb_node WHERE id=%3 OR parentID=%3)")
                .arg(QString::fromLatin1(value))
                .arg(modreg)
                .arg(node),
            0);
    };
    setValue(41002, "25");  // in a register block
    setValue(41011, "6.5"); // a FLOAT of its own
    TDeviceWritePass write(Db.Db, Context, Info);
    ASSERT_EQ(write.Run(node), woDone) << Messages.Shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(sim.WaitForLine(std::regex("parameters stored")).empty());
    setValue(41002, "0");
    setValue(41011, "0");
    ASSERT_EQ(Read().NodeId, node);
    const QString values = Db.Rows(QStringLiteral("SELECT group_concat(p.value, '|') FROM"
                                                  " mb_parameter p JOIN mb_node n ON p.pid=n.id"
                                                  " WHERE n.parentID=%1 AND p.modreg IN"
                                                  " (41002, 41011) ORDER BY p.modreg")
                                       .arg(node))
                               .value(0);
    EXPECT_EQ(values, QStringLiteral("25|6.5"));

    ASSERT_EQ(ChangeDeviceAddress(Db.Db, Context, Info, 1, 5), aoDone);
    EXPECT_EQ(Db.Rows(QStringLiteral("SELECT n.addr || '|' || p.value FROM mb_node n JOIN"
                                     " mb_parameter p ON p.pid=n.id WHERE n.id=%1 AND"
                                     " p.modreg=45010")
                          .arg(node)),
              QStringList{QStringLiteral("5|5")});
    EXPECT_EQ(Connection.Setting().Address, 5);
    ASSERT_TRUE(IdentifyDevice(Context, Info));
    EXPECT_EQ(Info.Rfid, QStringLiteral("UT-E2E"));
    EXPECT_TRUE(Messages.Shown.isEmpty());
}

} // namespace
