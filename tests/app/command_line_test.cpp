#include "app/command_line.h"
#include "app/oem_info.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TRun {
    TStartOptions Options;
    int Row;
};

TRun Start(const QStringList& arguments, const QString& programName) {
    TOemInfo oem;
    TRun run;
    run.Options = ParseCommandLine(arguments, oem, &LogFolderExists);
    SelectBrand(oem, programName);
    run.Row = oem.Index();
    return run;
}

} // namespace

TEST(CommandLine, BrandChoice) {
    struct TCase {
        QStringList Arguments;
        const char* ProgramName;
        int Row;
    };
    const TCase cases[] = {
        {{}, "parsetta", 0},
        {{}, "Vantrel", 3},
        {{}, "BEXLUNDmodbus", 1},
        {{}, "vantrel", 0},
        {{"/OEM", "8"}, "Vantrel", 1},
        {{"/oem", "3"}, "parsetta", 2},
        {{"/OEM", "5"}, "Vantrel", 3},
        {{"/OEM", "5"}, "parsetta", 0},
        {{"/OEM"}, "TARNWICKmodbus", 2},
        {{"/OEM", "acht"}, "parsetta", 0},
        {{"/OEM", "8", "/OEM", "x"}, "parsetta", 0},
        {{"/OEM", "11", "/KOLVANE"}, "parsetta", 3},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Start(c.Arguments, c.ProgramName).Row, c.Row)
            << c.Arguments.join(' ').toStdString() << " / " << c.ProgramName;
    }
}

TEST(CommandLine, Switches) {
    EXPECT_TRUE(Start({"/kolvane"}, "p").Options.ServiceMode);
    EXPECT_TRUE(Start({"/KoLvAnE"}, "p").Options.ServiceMode);
    EXPECT_FALSE(Start({"KOLVANE", "-KOLVANE", "/KOLVANEX"}, "p").Options.ServiceMode);
    EXPECT_TRUE(Start({"/sqllog"}, "p").Options.SqlLogEnabled);
    EXPECT_FALSE(Start({"/KOLVANE"}, "p").Options.SqlLogEnabled);
    // The argument after /OEM is compared with the switches too.
    const TRun run = Start({"/OEM", "/SQLLOG"}, "p");
    EXPECT_TRUE(run.Options.SqlLogEnabled);
    EXPECT_EQ(run.Row, 0);
}

TEST(CommandLine, PacketLogNeedsAnExistingFolder) {
    QTemporaryDir dir;
    const QString inDir = dir.filePath("port.log");
    TStartOptions o = Start({"/LOG", inDir}, "p").Options;
    EXPECT_TRUE(o.PacketLogEnabled);
    EXPECT_EQ(o.ServiceLogPath, inDir);

    o = Start({"/log", "port.log"}, "p").Options;
    EXPECT_FALSE(o.PacketLogEnabled);
    EXPECT_TRUE(o.ServiceLogPath.isEmpty());

    o = Start({"/LOG", dir.filePath("missing/port.log")}, "p").Options;
    EXPECT_FALSE(o.PacketLogEnabled);
    EXPECT_TRUE(o.ServiceLogPath.isEmpty());

    o = Start({"/LOG"}, "p").Options;
    EXPECT_FALSE(o.PacketLogEnabled);
}

TEST(CommandLine, ProgramNameFromPath) {
    EXPECT_EQ(ProgramNameFromPath("/usr/bin/Vantrel", false), QStringLiteral("Vantrel"));
    EXPECT_EQ(ProgramNameFromPath("./Vantrel.exe", false), QStringLiteral("Vantrel.exe"));
    EXPECT_EQ(ProgramNameFromPath("C:\\Programme\\Vantrel.exe", true), QStringLiteral("Vantrel"));
    EXPECT_EQ(ProgramNameFromPath("C:\\Programme\\Vantrel.EXE", true), QStringLiteral("Vantrel"));
    // Short names keep what they have: no blind cut of four characters.
    EXPECT_EQ(ProgramNameFromPath("abc", true), QStringLiteral("abc"));
    EXPECT_EQ(ProgramNameFromPath("", false), QString());
}
