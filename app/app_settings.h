#pragma once

#include "app/modbus_setting.h"

#include <QRect>
#include <QString>
#include <array>

class QSettings;

// Everything the settings store remembers between runs.
struct TAppSettings {
    int PosX = 10;
    int PosY = 10;
    int DimX = 600;
    int DimY = 400;
    int TreeView = 236;
    int ParaView = 159;
    int InfoHeight = 160;
    std::array<QString, 4> Files;
    QString LoadPath;
    QString PDFPath;
    QString BackupPath;
    QString Language;
    bool StartInfo = true;
    TModbusSetting Modbus;
    QString AppDataPath;
};

// Defaults that depend on the machine: the documents folder for the three dialog folders and the
// local application-data folder for the user database.
struct TSettingsDefaults {
    QString Documents;
    QString AppData;
};

inline constexpr const char* kProgramVersion = "1.4.2";
inline constexpr int kMinInfoHeight = 160;

// Takes every value present in the store into s, in the store's reading order. An absent value or
// one of the wrong type keeps what s held before, except for the three folders and StartInfo,
// which take their defaults; AppDataPath always ends with a folder separator afterwards.
void ReadSettingsStore(QSettings& store, TAppSettings& s, const TSettingsDefaults& defaults);

// Writes the complete set of values, Version included; AppDataPath is never written.
void WriteSettingsStore(QSettings& store, const TAppSettings& s);

// "\Software\KOLVANE\RERUDADadivod" → organisation "KOLVANE", application "RERUDADadivod".
struct TSettingsKey {
    QString Organization;
    QString Application;
};
TSettingsKey SettingsKeyFromRegEntry(const QString& regEntry);

QString WithTrailingSeparator(const QString& folder);

// Folder of the user database: application data + short company + program name + file name.
QString UserDatabasePath(const QString& appDataPath, const QString& companyShort,
                         const QString& programName, const QString& userDb);

// Short caption of a recent-file entry: drive or root, " ... ", the file name.
QString RecentFileCaption(const QString& fullPath);

// Whether a window rectangle counts as on its monitor (monitor = the nearest one's geometry).
bool IsOnScreen(const QRect& window, const QRect& monitor);

// The language code the store's text stands for: its first two characters.
QString LanguageCode(const QString& stored);
