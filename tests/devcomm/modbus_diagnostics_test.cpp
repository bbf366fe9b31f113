// The Modbus diagnostics of a device's service interface against scripted devices: the settings
// line, the counters and the map, the reset once per showing, the timer steps and a device that
// stops answering.
#include "devcomm/modbus_diagnostics.h"
#include "devcomm_fixture.h"
#include "scripted_link.h"

#include <gtest/gtest.h>

namespace {

TEST(BusSettingsText, BaudAndFramingTextsFollowTheSettingsDialogLists) {
    struct Case {
        uint16_t baud, framing;
        const char* expected;
    };
    const Case cases[] = {
        {5, 0, "Adresse 17, 9600 Baud, ParityEven, Stoppbits1, Responsedelay 5 ms"},
        {6, 2, "Adresse 17, 19200 Baud, ParityNone, Stoppbits2, Responsedelay 5 ms"},
        {9, 1, "Adresse 17, 115200 Baud, ParityOdd, Stoppbits1, Responsedelay 5 ms"},
        {0, 3, "Adresse 17, 300 Baud, ParityNone, Stoppbits1, Responsedelay 5 ms"},
        {42, 7, "Adresse 17, 19200 Baud, ParityEven, Stoppbits1, Responsedelay 5 ms"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BusSettingsText({17, c.baud, c.framing, 5}, {}), QString::fromUtf8(c.expected))
            << c.baud << "/" << c.framing;
    EXPECT_EQ(BusSettingsText({17, 6}, {}), QStringLiteral("Fehler"));
}

TEST(DecodeBusCounters, MapBitsStandForStationsWordByWord) {
    std::vector<uint16_t> r(BusCountersCount, 0);
    r[0] = 12;
    r[1] = 40;
    r[2] = 3;
    r[3] = 0x0003;      // stations 0 and 1
    r[3 + 1] = 0x0002;  // station 17
    r[3 + 15] = 0x8000; // station 255
    const auto counters = DecodeBusCounters(r);
    ASSERT_TRUE(counters);
    EXPECT_EQ(counters->Telegrams, 12);
    EXPECT_EQ(counters->TotalTelegrams, 40);
    EXPECT_EQ(counters->Errors, 3);
    std::vector<int> seen;
    for (int a = 0; a < StationCount; ++a)
        if (counters->Seen[static_cast<size_t>(a)])
            seen.push_back(a);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 17, 255}));
    EXPECT_FALSE(DecodeBusCounters(std::vector<uint16_t>(18, 0)));
}

class ModbusDiagnosticsTest : public ::testing::Test {
protected:
    ModbusDiagnosticsTest() {
        Link.Service = true;
        Link.PutDevice(68, 0x000D, 0x0106, "R1", 17);
        auto& r = Link.Devices[68];
        r[5010] = 6;
        r[5011] = 0;
        r[5012] = 5;
        r[1201] = 9;
        r[1210] = 12;
        r[1211] = 40;
        r[1212] = 3;
        r[1213] = 0x0003;
    }
    // Ticks until the next read of the counters; the number of ticks taken.
    int TicksToRead(TModbusDiagnostics& diag, TBusTick& tick) {
        for (int n = 1; n < 100; ++n) {
            tick = diag.Tick();
            if (tick.Read)
                return n;
        }
        return -1;
    }

    TScriptedLink Link;
    TRecordedMessages Messages;
    TDeviceContext Context{Link, Messages, {}};
    TDeviceInfo Info;
};

TEST_F(ModbusDiagnosticsTest, OnlyDevicesWithBusCountersAreServed) {
    struct Case {
        uint16_t type;
        TBusDiagStart expected;
    };
    for (const Case& c : {Case{0x000D, bdStarted}, Case{0x0106, bdStarted}, Case{0x0009, bdStarted},
                          Case{0x0002, bdNotAvailable}, Case{0x010D, bdNotAvailable}}) {
        Link.Devices[68][3000] = c.type;
        Messages.Shown.clear();
        TModbusDiagnostics diag(Context, Info);
        EXPECT_EQ(diag.Start(), c.expected) << std::hex << c.type;
        EXPECT_EQ(Messages.Shown.size(), c.expected == bdStarted ? 0 : 1);
    }
    EXPECT_EQ(Messages.Shown.value(0),
              QStringLiteral("Diagnosefunktionen im Geraet nicht verfuegbar!"));

    Link.Devices.clear();
    TModbusDiagnostics diag(Context, Info);
    EXPECT_EQ(diag.Start(), bdNoDevice);
    EXPECT_EQ(Messages.Shown.last(), QStringLiteral("No device found!"));
}

TEST_F(ModbusDiagnosticsTest, SettingsLineOrErrorWord) {
    TModbusDiagnostics diag(Context, Info);
    ASSERT_EQ(diag.Start(), bdStarted);
    EXPECT_EQ(Info.Address, 17);
    EXPECT_EQ(diag.ReadSettings(),
              QStringLiteral("Adresse 17, 19200 Baud, ParityEven, Stoppbits1, Responsedelay 5 ms"));
    Link.Failing.insert(BusSettingsRegister);
    EXPECT_EQ(diag.ReadSettings(), QStringLiteral("Fehler"));
}

TEST_F(ModbusDiagnosticsTest, ResetOnceThenReadEveryNineteenTicks) {
    TModbusDiagnostics diag(Context, Info);
    ASSERT_EQ(diag.Start(), bdStarted);
    const size_t before = Link.Requests.size();

    TBusTick tick = diag.Tick();
    EXPECT_EQ(tick.NextIntervalMs, 100);
    EXPECT_FALSE(tick.Read);
    ASSERT_EQ(Link.Requests.size(), before + 1);
    EXPECT_EQ(Link.Requests.back().Address, CounterResetRegister);
    EXPECT_NE(Link.Requests.back().Function, 3);
    EXPECT_EQ(Link.Devices[68][1201], 0);

    EXPECT_EQ(TicksToRead(diag, tick), 1);
    EXPECT_TRUE(tick.ShowRefresh);
    ASSERT_TRUE(tick.Counters);
    EXPECT_EQ(tick.Counters->Telegrams, 12);
    EXPECT_TRUE(tick.Counters->Seen[1]);
    EXPECT_EQ(Link.Requests.back().Address, BusCountersRegister);
    EXPECT_EQ(Link.Requests.back().Count, BusCountersCount);

    // The refresh picture goes after two ticks; then reads follow every 19 ticks, no more reset.
    EXPECT_FALSE(diag.Tick().HideRefresh);
    EXPECT_TRUE(diag.Tick().HideRefresh);
    EXPECT_EQ(TicksToRead(diag, tick), 17);
    EXPECT_EQ(TicksToRead(diag, tick), 19);
    int resets = 0;
    for (const auto& request : Link.Requests)
        resets += request.Address == CounterResetRegister;
    EXPECT_EQ(resets, 1);
}

TEST_F(ModbusDiagnosticsTest, SilentDeviceEmptiesTheMapAndIsReportedOncePerStreak) {
    Context.ServiceMode = true;
    TModbusDiagnostics diag(Context, Info);
    ASSERT_EQ(diag.Start(), bdStarted);
    TBusTick tick;
    ASSERT_EQ(TicksToRead(diag, tick), 2);
    ASSERT_TRUE(tick.Counters);

    const auto device = Link.Devices[68];
    Link.Devices.erase(68);
    for (int i = 0; i < 3; ++i) {
        ASSERT_GT(TicksToRead(diag, tick), 0);
        EXPECT_FALSE(tick.Counters);
    }
    EXPECT_EQ(Messages.Shown, QStringList{QStringLiteral("READ-Error: ") +
                                          QString::fromLatin1(ProtocolIOResultText(ioTimeOut)) +
                                          QStringLiteral(" (RTUDriver)")});
    EXPECT_EQ(Link.Detaches, 3);

    Link.Devices[68] = device;
    ASSERT_GT(TicksToRead(diag, tick), 0);
    EXPECT_TRUE(tick.Counters);
    Link.Failing.insert(BusCountersRegister);
    ASSERT_GT(TicksToRead(diag, tick), 0);
    EXPECT_EQ(Messages.Shown.size(), 2);
}

} // namespace
