#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class TOemInfo;

// What the command line switches turn on. The brand choice goes straight into TOemInfo.
struct TStartOptions {
    bool ServiceMode = false;
    bool PacketLogEnabled = false;
    QString ServiceLogPath;
    bool SqlLogEnabled = false;
};

// Reads the switches "/KOLVANE", "/LOG" path, "/SQLLOG" and "/OEM" n (case-insensitive) from
// arguments (without the program itself), selecting a brand in oem by "/OEM". folderExists decides
// whether the folder of a "/LOG" path exists.
TStartOptions ParseCommandLine(const QStringList& arguments, TOemInfo& oem,
                               const std::function<bool(const QString&)>& folderExists);

// The name a program file selects its brand by: its file name without folder and, on Windows,
// without the ".exe" extension. Linux programs carry no extension, so the whole name counts.
QString ProgramNameFromPath(const QString& programPath, bool windows);

// Brand choice of the start: "/OEM" (already applied to oem) wins, then the program name, then
// row 0.
void SelectBrand(TOemInfo& oem, const QString& programName);

// The default folder test for "/LOG": a bare file name has no folder and so none that exists.
bool LogFolderExists(const QString& path);
