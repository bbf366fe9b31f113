// Both diagnostics against the device simulator: the bus counters and the address map through a
// device's service interface and over Modbus TCP, and the live diagnostic values of a UT10.
#include "devcomm/device_connection.h"
#include "devcomm/device_diagnostics.h"
#include "devcomm/modbus_diagnostics.h"
#include "devcomm_fixture.h"
#include "devsim_process.h"
#include "params/db_option_source.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

class TSim : public TDevsimProcess {
public:
    explicit TSim(const std::vector<std::string>& args)
        : TDevsimProcess(PARSETTA_DEVSIM, PARSETTA_DEVICES_DB, args) {}
};

class DiagnosticsE2eTest : public ::testing::Test {
protected:
    DiagnosticsE2eTest() { Connection.SetSettleMs(50); }

    void UseTcp(int port, int address) {
        TModbusSetting s;
        s.Protocol = ProtocolTCP;
        s.Host = QStringLiteral("127.0.0.1");
        s.Port = port;
        s.Timeout = 500;
        s.Address = address;
        Connection.ApplyConnectionSettings(s);
    }
    // Ticks until the counters were read; their values.
    static std::optional<TBusCounters> NextCounters(TModbusDiagnostics& diag) {
        for (int n = 0; n < 25; ++n) {
            const TBusTick tick = diag.Tick();
            if (tick.Read)
                return tick.Counters;
        }
        return std::nullopt;
    }
    static std::vector<int> Stations(const TBusCounters& counters) {
        std::vector<int> stations;
        for (int a = 0; a < StationCount; ++a)
            if (counters.Seen[static_cast<size_t>(a)])
                stations.push_back(a);
        return stations;
    }

    TUserDbFixture Db;
    TDeviceConnection Connection;
    TRecordedMessages Messages;
    TDeviceContext Context{Connection, Messages, {}, true};
    TDeviceInfo Info;
};

TEST_F(DiagnosticsE2eTest, ServiceInterfaceShowsBusSettingsCountersAndReset) {
    const QString link = Db.Dir.filePath(QStringLiteral("service"));
    TSim sim({"--pty", link.toStdString(), "--service", "--device", "000D@5"});
    ASSERT_FALSE(sim.WaitForLine(std::regex("listening:")).empty());
    TModbusSetting s;
    s.Protocol = ProtocolDevice;
    s.COMPort = link;
    s.Timeout = 300;
    Connection.ApplyConnectionSettings(s);

    TModbusDiagnostics diag(Context, Info);
    ASSERT_EQ(diag.Start(), bdStarted) << Messages.Shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Info.Address, 5);
    EXPECT_TRUE(diag.ReadSettings().startsWith(
        QStringLiteral("Adresse 5, 19200 Baud, ParityEven, Stoppbits1, Responsedelay ")))
        << diag.ReadSettings().toStdString();

    // Identification and settings have been counted; the reset of the first tick clears that.
    const auto first = NextCounters(diag);
    ASSERT_TRUE(first);
    EXPECT_LE(first->Telegrams, 2);
    EXPECT_EQ(Stations(*first), std::vector<int>{5});
    for (int i = 0; i < 5; ++i)
        diag.ReadSettings();
    const auto later = NextCounters(diag);
    ASSERT_TRUE(later);
    EXPECT_GE(later->Telegrams, first->Telegrams + 6);
    EXPECT_GE(later->TotalTelegrams, later->Telegrams);
    EXPECT_EQ(later->Errors, 0);

    // The next showing resets again.
    ASSERT_EQ(diag.Start(), bdStarted);
    const auto again = NextCounters(diag);
    ASSERT_TRUE(again);
    EXPECT_LT(again->Telegrams, later->Telegrams);
    EXPECT_TRUE(Messages.Shown.isEmpty()) << Messages.Shown.join(QLatin1Char('\n')).toStdString();
}

TEST_F(DiagnosticsE2eTest, AddressMapListsTheSimulatedStationsAndTT2HasNone) {
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1", "--device", "0006@17", "--device",
              "0002@200"});
    const int port = sim.Port();
    ASSERT_GT(port, 0);
    UseTcp(port, 1);
    TModbusDiagnostics diag(Context, Info);
    ASSERT_EQ(diag.Start(), bdStarted);
    const auto counters = NextCounters(diag);
    ASSERT_TRUE(counters);
    EXPECT_EQ(Stations(*counters), (std::vector<int>{1, 17, 200}));

    Connection.SetAddress(200);
    TModbusDiagnostics tt2(Context, Info);
    EXPECT_EQ(tt2.Start(), bdNotAvailable);
    EXPECT_EQ(Messages.Shown,
              QStringList{QStringLiteral("Diagnosefunktionen im Geraet nicht verfuegbar!")});
}

TEST_F(DiagnosticsE2eTest, UT10ValuesScaledAndFormattedTT2BeforeVersion0102HasNone) {
    TSim sim({"--tcp", "127.0.0.1:0", "--device", "000D@1", "--device", "0002@2,version=0101",
              "--device", "0002@3"});
    const int port = sim.Port();
    ASSERT_GT(port, 0);
    TDbOptionListSource source(Db.Db.SQLQueryTpl);
    TOptionListTable lists;
    lists.Load(source, {});
    const auto caption = [](int id) { return QStringLiteral("#") + QString::number(id); };

    UseTcp(port, 1);
    TDeviceDiagnostics ut10(Context, Info, lists, caption);
    ASSERT_EQ(ut10.Start(Db.Db.SQLQueryTpl), ddStarted);
    ASSERT_EQ(ut10.Rows().size(), 7u);
    const auto values = ut10.Refresh(QLatin1Char(','));
    ASSERT_EQ(values.size(), 7u);
    const QStringList patterns = {"^\\d+,\\d{3}$",     "^\\d+,\\d{2} mA$", "^\\d+,\\d °C$",
                                  "^\\d+ h$",          "^\\S.*$",          "^([■○] #\\d+\\n?)+$",
                                  "^(OK|(■ .+\\n?)+)$"};
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_TRUE(QRegularExpression(patterns[static_cast<qsizetype>(i)])
                        .match(values[i].Text)
                        .hasMatch())
            << i << ": " << values[i].Text.toStdString();
    // The terminal temperature walks around 35 °C: raw tenths of kelvin, offset and factor.
    const double celsius =
        QString(values[2].Text).remove(QStringLiteral(" °C")).replace(',', '.').toDouble();
    EXPECT_NEAR(celsius, 35.0, 10.0);
    EXPECT_GE(QString(values[3].Text).remove(QStringLiteral(" h")).toInt(), 12000);

    Connection.SetAddress(2);
    TDeviceDiagnostics old(Context, Info, lists, caption);
    EXPECT_EQ(old.Start(Db.Db.SQLQueryTpl), ddNoRows);
    EXPECT_EQ(Messages.Shown, QStringList{old.NotAvailableText});

    Connection.SetAddress(3);
    TDeviceDiagnostics tt2(Context, Info, lists, caption);
    ASSERT_EQ(tt2.Start(Db.Db.SQLQueryTpl), ddStarted);
    for (const TDiagValue& v : tt2.Refresh(QLatin1Char('.')))
        EXPECT_NE(v.Text, QStringLiteral("Error")) << v.Index;
    EXPECT_EQ(Messages.Shown.size(), 1);
}

} // namespace
