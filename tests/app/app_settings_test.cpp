#include "app/app_settings.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const TSettingsDefaults kDefaults = {"/home/u/Documents", "/home/u/.local/share"};

const QStringList kWriteList = {"PosX",     "PosY",       "DimX",    "DimY",       "TreeView",
                                "ParaView", "InfoHeight", "File1",   "File2",      "File3",
                                "File4",    "LoadPath",   "PDFPath", "BackupPath", "Language",
                                "Protocol", "Host",       "Port",    "COMPort",    "BaudRate",
                                "Parity",   "Timeout",    "Address", "Version",    "StartInfo"};

struct TStore {
    QTemporaryDir Dir;
    QString File() const { return Dir.filePath("store.conf"); }
    std::unique_ptr<QSettings> Open() const {
        return std::make_unique<QSettings>(File(), QSettings::IniFormat);
    }
};

} // namespace

TEST(AppSettings, FirstStartTakesDefaultsAndWritesTheCompleteSet) {
    TStore store;
    TAppSettings s;
    {
        auto settings = store.Open();
        ReadSettingsStore(*settings, s, kDefaults);
        WriteSettingsStore(*settings, s);
    }
    EXPECT_EQ(s.LoadPath, kDefaults.Documents);
    EXPECT_EQ(s.BackupPath, kDefaults.Documents);
    EXPECT_EQ(s.AppDataPath, kDefaults.AppData + QDir::separator());
    auto settings = store.Open();
    QStringList keys = settings->allKeys();
    keys.sort();
    QStringList expected = kWriteList;
    expected.sort();
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(settings->value("PosX").toInt(), 10);
    EXPECT_EQ(settings->value("PosY").toInt(), 10);
    EXPECT_EQ(settings->value("DimX").toInt(), 600);
    EXPECT_EQ(settings->value("DimY").toInt(), 400);
    EXPECT_EQ(settings->value("TreeView").toInt(), 236);
    EXPECT_EQ(settings->value("ParaView").toInt(), 159);
    EXPECT_EQ(settings->value("InfoHeight").toInt(), 160);
    EXPECT_EQ(settings->value("StartInfo").toInt(), 1);
    EXPECT_EQ(settings->value("Port").toInt(), 502);
    EXPECT_EQ(settings->value("BaudRate").toInt(), 6);
    EXPECT_EQ(settings->value("Timeout").toInt(), 300);
    EXPECT_EQ(settings->value("Address").toInt(), 1);
    EXPECT_EQ(settings->value("Protocol").toInt(), 0);
    EXPECT_EQ(settings->value("Version").toString(), QStringLiteral("1.4.2"));
    EXPECT_FALSE(settings->contains("AppDataPath"));
}

TEST(AppSettings, StoredValuesSurviveARoundTrip) {
    TStore store;
    TAppSettings written;
    written.PosX = 120;
    written.PosY = 80;
    written.DimX = 1100;
    written.DimY = 700;
    written.TreeView = 300;
    written.ParaView = 210;
    written.InfoHeight = 220;
    written.Files = {"/data/a.db", "/data/b.db", "", ""};
    written.LoadPath = "/x/load";
    written.PDFPath = "/x/pdf";
    written.BackupPath = "/x/backup";
    written.Language = "fr";
    written.StartInfo = false;
    written.Modbus = {2, "192.168.10.20", 1502, "/dev/ttyUSB0", 9, 2, 1500, 17};
    {
        auto settings = store.Open();
        WriteSettingsStore(*settings, written);
    }
    TAppSettings read;
    auto settings = store.Open();
    ReadSettingsStore(*settings, read, kDefaults);
    EXPECT_EQ(read.PosX, 120);
    EXPECT_EQ(read.DimY, 700);
    EXPECT_EQ(read.TreeView, 300);
    EXPECT_EQ(read.ParaView, 210);
    EXPECT_EQ(read.InfoHeight, 220);
    EXPECT_EQ(read.Files, written.Files);
    EXPECT_EQ(read.LoadPath, written.LoadPath);
    EXPECT_EQ(read.PDFPath, written.PDFPath);
    EXPECT_EQ(read.BackupPath, written.BackupPath);
    EXPECT_EQ(read.Language, QStringLiteral("fr"));
    EXPECT_FALSE(read.StartInfo);
    EXPECT_EQ(read.Modbus, written.Modbus);
}

TEST(AppSettings, WrongTypesAndAbsentValuesFallBack) {
    TStore store;
    {
        auto settings = store.Open();
        settings->setValue("PosX", "links");
        settings->setValue("DimX", QStringList({"1", "2"}));
        settings->setValue("Port", "5o2");
        settings->setValue("StartInfo", "vielleicht");
        settings->setValue("Host", QStringList({"a", "b"}));
        settings->setValue("Timeout", " 900 ");
        settings->setValue("InfoHeight", 90);
        settings->setValue("AppDataPath", "/srv/parsetta");
    }
    TAppSettings s;
    s.Modbus.Host = "vorher";
    auto settings = store.Open();
    ReadSettingsStore(*settings, s, kDefaults);
    EXPECT_EQ(s.PosX, 10);
    EXPECT_EQ(s.DimX, 600);
    EXPECT_EQ(s.Modbus.Port, 502);
    EXPECT_TRUE(s.StartInfo);
    EXPECT_EQ(s.Modbus.Host, QStringLiteral("vorher"));
    EXPECT_EQ(s.Modbus.Timeout, 900);
    EXPECT_EQ(s.InfoHeight, 160);
    EXPECT_EQ(s.AppDataPath, QStringLiteral("/srv/parsetta") + QDir::separator());
}

TEST(AppSettings, LanguageUsesItsFirstTwoLetters) {
    EXPECT_EQ(LanguageCode("english"), QStringLiteral("en"));
    EXPECT_EQ(LanguageCode("de"), QStringLiteral("de"));
    EXPECT_EQ(LanguageCode(""), QString());
}

TEST(AppSettings, PathsAndKeys) {
    const QChar sep = QDir::separator();
    EXPECT_EQ(UserDatabasePath("/srv/data", "KOLVANE", "RERUDADadivod", "kolvanebus"),
              QStringLiteral("/srv/data") + sep + "KOLVANE" + sep + "RERUDADadivod" + sep +
                  "kolvanebus.db");
    EXPECT_EQ(UserDatabasePath(QStringLiteral("/srv/data") + sep, "Quillon", "Vantrel", "modbus"),
              QStringLiteral("/srv/data") + sep + "Quillon" + sep + "Vantrel" + sep + "modbus.db");
    const TSettingsKey key = SettingsKeyFromRegEntry("\\Software\\KOLVANE\\RERUDADadivod");
    EXPECT_EQ(key.Organization, QStringLiteral("KOLVANE"));
    EXPECT_EQ(key.Application, QStringLiteral("RERUDADadivod"));
    EXPECT_EQ(SettingsKeyFromRegEntry("\\Software\\Quillon\\Vantrel").Application,
              QStringLiteral("Vantrel"));
}

TEST(AppSettings, RecentFileCaption) {
    const QChar sep = QDir::separator();
    EXPECT_EQ(RecentFileCaption(""), QString());
    EXPECT_EQ(RecentFileCaption("C:\\Daten\\Anlage\\halle.db"),
              QStringLiteral("C:") + sep + " ... " + sep + "halle.db");
    EXPECT_EQ(RecentFileCaption("/home/u/anlage/halle.db"),
              QString(sep) + " ... " + sep + "halle.db");
}

TEST(AppSettings, IsOnScreen) {
    const QRect monitor(0, 0, 1920, 1080);
    struct TCase {
        QRect Window;
        bool OnScreen;
    };
    const TCase cases[] = {
        {{10, 10, 600, 400}, true},    {{5000, 10, 600, 400}, false}, {{1880, 10, 600, 400}, true},
        {{1881, 10, 600, 400}, false}, {{-600, 10, 600, 400}, true},  {{-601, 10, 600, 400}, false},
        {{10, -1, 600, 400}, false},   {{10, 1020, 600, 400}, true},  {{10, 1021, 600, 400}, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsOnScreen(c.Window, monitor), c.OnScreen) << c.Window.x() << "," << c.Window.y();
}
