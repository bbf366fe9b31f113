// The device diagnostics against scripted devices and the built template database: the rows of a
// type and firmware, scaling and formatting, bit lists, and a device that stops answering.
#include "devcomm/device_diagnostics.h"
#include "devcomm_fixture.h"
#include "scripted_link.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(FirmwareText, HighByteThenBothNibbles) {
    EXPECT_EQ(FirmwareText(0x0123), QStringLiteral("01.2.3"));
    EXPECT_EQ(FirmwareText(0x0106), QStringLiteral("01.0.6"));
    EXPECT_EQ(FirmwareText(0xABCD), QStringLiteral("AB.C.D"));
}

TEST(DiagDecimal, PointSeparatedNumberOrFallback) {
    EXPECT_DOUBLE_EQ(DiagDecimal(QStringLiteral("0.1"), 1.0), 0.1);
    EXPECT_DOUBLE_EQ(DiagDecimal(QStringLiteral("-2732"), 0.0), -2732.0);
    EXPECT_DOUBLE_EQ(DiagDecimal(QString(), 1.0), 1.0);
    EXPECT_DOUBLE_EQ(DiagDecimal(QStringLiteral("abc"), 0.0), 0.0);
    EXPECT_DOUBLE_EQ(DiagDecimal(QStringLiteral("inf"), 1.0), 1.0);
}

TEST(FormatDiagValue, OneFloatingDirectiveWithTextAround) {
    struct Case {
        const char* pattern;
        double value;
        char point;
        const char* expected;
    };
    const Case cases[] = {
        {"%.1f °C", 12.3, ',', "12,3 °C"},
        {"%.3f", 1.5, '.', "1.500"},
        {"%.0f h", 12345.4, '.', "12345 h"},
        {"%7.2f mA", 4.0, '.', "   4.00 mA"},
        {"%-6.1fV", 2.26, '.', "2.3   V"},
        {"%+.1e", 1500.0, ',', "+1,5e+03"},
        {"%g", 0.25, ',', "0,25"},
        {"%lf", 2.0, '.', "2.000000"},
        {"%%%.0f%%", 50.0, '.', "%50%"},
        {"Wert: %.2f", -0.5, '.', "Wert: -0.50"},
        // Patterns that are not one safe floating directive show the value in general notation.
        {"%s", 1.5, ',', "1,5"},
        {"%n%.1f", 1.5, '.', "1.5"},
        {"%d", 7.0, '.', "7"},
        {"%.1f / %.1f", 1.5, '.', "1.5"},
        {"%999f", 1.5, '.', "1.5"},
        {"%.100f", 1.5, '.', "1.5"},
        {"%*.*f", 1.5, '.', "1.5"},
        {"50%", 1.5, '.', "1.5"},
        {"plain", 3.0, '.', "3"},
        {"", 3.0, '.', "3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDiagValue(QString::fromUtf8(c.pattern), c.value, QLatin1Char(c.point)),
                  QString::fromUtf8(c.expected))
            << c.pattern;
}

TOptionList List(bool multiple) {
    TOptionList list;
    list.title = "BINARY_TEST";
    list.multiple = multiple;
    list.Options = {{1, -1, 101, false}, {4, -1, 104, false}, {8, -1, 108, false}};
    return list;
}

QString Caption(int id) {
    return QStringLiteral("T") + QString::number(id);
}

TEST(BitListText, SingleChoiceListsActiveOptionsOrOk) {
    struct Case {
        bool multiple;
        int32_t value;
        const char* expected;
    };
    const Case cases[] = {
        {false, 0, "OK"},
        {false, 2, "OK"}, // a bit no option has
        {false, 4, "■ T104"},
        {false, 13, "■ T101\n■ T104\n■ T108"},
        {true, 0, "○ T101\n○ T104\n○ T108"},
        {true, 12, "○ T101\n■ T104\n■ T108"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BitListText(List(c.multiple), c.value, Caption), QString::fromUtf8(c.expected))
            << c.multiple << " " << c.value;
    const TOptionList multiple = List(true);
    EXPECT_EQ(BitListHeight(&multiple), 3 * 15 + 8);
    const TOptionList single = List(false);
    EXPECT_EQ(BitListHeight(&single), 23);
    EXPECT_EQ(BitListHeight(nullptr), 23);
}

// The option lists the UT10's bit-set rows name.
class TTestOptionSource : public TOptionListSource {
public:
    std::vector<TSelectRow> SelectRows() override {
        return {{1, "BINARY_UT_STATUS", "0", "1"}, {2, "BINARY_DEVERROR", "0", "0"}};
    }
    std::vector<TOptionRow> OptionRows(int32_t selectId) override {
        if (selectId == 1)
            return {{2, 1, 201, -1, ""}, {4, 2, 202, -1, ""}};
        return {{1, 1, 301, -1, ""}, {2, 2, 302, -1, ""}};
    }
};

void PutFloat(std::map<int, uint16_t>& r, int address, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    r[address] = static_cast<uint16_t>(bits >> 16);
    r[address + 1] = static_cast<uint16_t>(bits & 0xFFFF);
}

class DeviceDiagnosticsTest : public ::testing::Test {
protected:
    DeviceDiagnosticsTest() {
        Link.PutDevice(1, 0x000D, 0x0106, "R1", 1, "TT-101");
        auto& r = Link.Devices[1];
        PutFloat(r, 2000, 12.5f);          // 42001 FLOAT
        r[2002] = 3000;                    // 42003 INT16, (x - 2732) * 0.1
        r[2003] = 1;                       // 42004 UINT32
        r[2004] = 2;                       // = 65538
        r[2005] = 0x0004;                  // 42006 status bits
        r[2006] = 0;                       // 42007 device errors
        PutFloat(r, 2007, 4.0f);           // 42008 FLOAT
        Link.PutText(1, 3038, 12, "UT10"); // 43039 ASCII24
        TTestOptionSource source;
        Lists.Load(source, {});
    }
    TDeviceDiagnostics Diagnostics() { return TDeviceDiagnostics(Context, Info, Lists, Caption); }
    static QStringList Texts(const std::vector<TDiagValue>& values) {
        QStringList texts;
        for (const TDiagValue& v : values)
            texts << v.Text;
        return texts;
    }

    TUserDbFixture Db;
    TScriptedLink Link;
    TRecordedMessages Messages;
    TDeviceContext Context{Link, Messages, {}};
    TDeviceInfo Info;
    TOptionListTable Lists;
};

TEST_F(DeviceDiagnosticsTest, ValuesScaledFormattedAndHiddenRowLeftOut) {
    TDeviceDiagnostics diag = Diagnostics();
    ASSERT_EQ(diag.Start(Db.Db.SQLQueryTpl), ddStarted);
    EXPECT_EQ(Info.MeasuringPoint, QStringLiteral("TT-101"));
    // Row 4 of the template (the calibration offset) is hidden: seven of eight rows are shown.
    ASSERT_EQ(diag.Rows().size(), 7u);
    const auto values = diag.Refresh(QLatin1Char(','));
    EXPECT_EQ(Texts(values), (QStringList{"12,500", "4,00 mA", "26,8 °C", "65538 h", "UT10",
                                          "○ T201\n■ T202", "OK"}));
    EXPECT_EQ(values[5].BitIndex, 0);
    EXPECT_EQ(values[6].BitIndex, 1);
    EXPECT_EQ(values[3].BitIndex, -1);
    EXPECT_TRUE(Messages.Shown.isEmpty());
}

TEST_F(DeviceDiagnosticsTest, EveryRegisterReadOncePerRefreshAndBitListsOnlyWhenChanged) {
    TDeviceDiagnostics diag = Diagnostics();
    ASSERT_EQ(diag.Start(Db.Db.SQLQueryTpl), ddStarted);
    diag.Refresh(QLatin1Char('.'));
    const int reads = Link.ReadsAt(2002);
    auto values = diag.Refresh(QLatin1Char('.'));
    EXPECT_EQ(Link.ReadsAt(2002), reads + 1);
    EXPECT_FALSE(values[5].Changed);
    EXPECT_FALSE(values[6].Changed);

    Link.Devices[1][2006] = 2;
    values = diag.Refresh(QLatin1Char('.'));
    EXPECT_FALSE(values[5].Changed);
    EXPECT_TRUE(values[6].Changed);
    EXPECT_EQ(values[6].Text, QStringLiteral("■ T302"));
}

TEST_F(DeviceDiagnosticsTest, SilentDeviceShowsErrorsReportedOnceAndRecovers) {
    Context.ServiceMode = true;
    TDeviceDiagnostics diag = Diagnostics();
    ASSERT_EQ(diag.Start(Db.Db.SQLQueryTpl), ddStarted);
    diag.Refresh(QLatin1Char('.'));

    const auto device = Link.Devices[1];
    Link.Devices.erase(1);
    diag.Refresh(QLatin1Char('.'));
    const auto values = diag.Refresh(QLatin1Char('.'));
    for (const TDiagValue& v : values) {
        EXPECT_EQ(v.Text, QStringLiteral("Error")) << v.Index;
        EXPECT_TRUE(v.Changed);
    }
    EXPECT_EQ(Messages.Shown.size(), 1);

    Link.Devices[1] = device;
    const auto again = diag.Refresh(QLatin1Char('.'));
    EXPECT_EQ(again[2].Text, QStringLiteral("26.8 °C"));
    EXPECT_TRUE(again[5].Changed);
    EXPECT_EQ(again[6].Text, QStringLiteral("OK"));
}

TEST_F(DeviceDiagnosticsTest, RowsChosenByTypeAndFirmware) {
    struct Case {
        uint16_t type, version;
        TDeviceDiagStart expected;
        size_t rows;
    };
    const Case cases[] = {
        {0x0002, 0x0101, ddNoRows, 0},  {0x0002, 0x0102, ddStarted, 5},
        {0x000D, 0x0105, ddStarted, 7}, {0x0006, 0x0100, ddStarted, 7},
        {0x0007, 0x0100, ddStarted, 7}, {0x0055, 0x0100, ddNoRows, 0},
    };
    for (const Case& c : cases) {
        auto& r = Link.Devices[1];
        r[3000] = c.type;
        r[3028] = c.version;
        Messages.Shown.clear();
        TDeviceDiagnostics diag = Diagnostics();
        EXPECT_EQ(diag.Start(Db.Db.SQLQueryTpl), c.expected) << std::hex << c.type << c.version;
        EXPECT_EQ(diag.Rows().size(), c.rows) << std::hex << c.type << c.version;
        if (c.expected == ddNoRows) {
            EXPECT_EQ(Messages.Shown, QStringList{diag.NotAvailableText});
        }
    }
    Link.Devices.clear();
    TDeviceDiagnostics diag = Diagnostics();
    EXPECT_EQ(diag.Start(Db.Db.SQLQueryTpl), ddNoDevice);
    EXPECT_EQ(Messages.Shown.last(), QStringLiteral("No device found!"));
}

} // namespace
