#include "app/app_settings.h"

#include <QDir>
#include <QSettings>

namespace {

// A stored value of the wrong type (text where a number belongs, a list where text belongs)
// counts as absent, so it cannot crash the start or put nonsense into the window geometry.
void ReadInt(QSettings& store, const char* key, int& target) {
    const QVariant value = store.value(QLatin1String(key));
    if (!value.isValid())
        return;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (ok && value.typeId() != QMetaType::QStringList)
        target = number;
}

void ReadText(QSettings& store, const char* key, QString& target) {
    const QVariant value = store.value(QLatin1String(key));
    if (!value.isValid() || value.typeId() == QMetaType::QStringList ||
        !value.canConvert<QString>())
        return;
    target = value.toString();
}

bool ReadBool(QSettings& store, const char* key, bool fallback) {
    const QVariant value = store.value(QLatin1String(key));
    if (!value.isValid())
        return fallback;
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("1") || text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("0") || text == QLatin1String("false"))
        return false;
    return fallback;
}

void ReadFolder(QSettings& store, const char* key, QString& target, const QString& fallback) {
    target = fallback;
    ReadText(store, key, target);
}

} // namespace

void ReadSettingsStore(QSettings& store, TAppSettings& s, const TSettingsDefaults& defaults) {
    ReadInt(store, "PosX", s.PosX);
    ReadInt(store, "PosY", s.PosY);
    ReadInt(store, "DimX", s.DimX);
    ReadInt(store, "DimY", s.DimY);
    ReadInt(store, "TreeView", s.TreeView);
    ReadInt(store, "ParaView", s.ParaView);
    ReadInt(store, "InfoHeight", s.InfoHeight);
    s.InfoHeight = std::max(s.InfoHeight, kMinInfoHeight);
    const char* fileKeys[] = {"File1", "File2", "File3", "File4"};
    for (int i = 0; i < 4; ++i)
        ReadText(store, fileKeys[i], s.Files[i]);
    ReadFolder(store, "LoadPath", s.LoadPath, defaults.Documents);
    ReadFolder(store, "PDFPath", s.PDFPath, defaults.Documents);
    ReadFolder(store, "BackupPath", s.BackupPath, defaults.Documents);
    ReadText(store, "Language", s.Language);
    s.StartInfo = ReadBool(store, "StartInfo", true);
    ReadInt(store, "Protocol", s.Modbus.Protocol);
    ReadText(store, "Host", s.Modbus.Host);
    ReadInt(store, "Port", s.Modbus.Port);
    ReadText(store, "COMPort", s.Modbus.COMPort);
    ReadInt(store, "BaudRate", s.Modbus.BaudRate);
    ReadInt(store, "Parity", s.Modbus.Parity);
    ReadInt(store, "Timeout", s.Modbus.Timeout);
    ReadInt(store, "Address", s.Modbus.Address);
    ReadFolder(store, "AppDataPath", s.AppDataPath, defaults.AppData);
    if (s.AppDataPath.isEmpty())
        s.AppDataPath = defaults.AppData;
    s.AppDataPath = WithTrailingSeparator(s.AppDataPath);
}

void WriteSettingsStore(QSettings& store, const TAppSettings& s) {
    store.setValue("PosX", s.PosX);
    store.setValue("PosY", s.PosY);
    store.setValue("DimX", s.DimX);
    store.setValue("DimY", s.DimY);
    store.setValue("TreeView", s.TreeView);
    store.setValue("ParaView", s.ParaView);
    store.setValue("InfoHeight", s.InfoHeight);
    const char* fileKeys[] = {"File1", "File2", "File3", "File4"};
    for (int i = 0; i < 4; ++i)
        store.setValue(fileKeys[i], s.Files[i]);
    store.setValue("LoadPath", s.LoadPath);
    store.setValue("PDFPath", s.PDFPath);
    store.setValue("BackupPath", s.BackupPath);
    store.setValue("Language", s.Language);
    store.setValue("Protocol", s.Modbus.Protocol);
    store.setValue("Host", s.Modbus.Host);
    store.setValue("Port", s.Modbus.Port);
    store.setValue("COMPort", s.Modbus.COMPort);
    store.setValue("BaudRate", s.Modbus.BaudRate);
    store.setValue("Parity", s.Modbus.Parity);
    store.setValue("Timeout", s.Modbus.Timeout);
    store.setValue("Address", s.Modbus.Address);
    store.setValue("Version", QString::fromLatin1(kProgramVersion));
    store.setValue("StartInfo", s.StartInfo ? 1 : 0);
}

TSettingsKey SettingsKeyFromRegEntry(const QString& regEntry) {
    QStringList parts = regEntry.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() &&
        parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        return {};
    if (parts.size() == 1)
        return {parts[0], parts[0]};
    return {parts[0], parts.mid(1).join(QLatin1Char('/'))};
}

QString WithTrailingSeparator(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder;
    return folder + QDir::separator();
}

QString UserDatabasePath(const QString& appDataPath, const QString& companyShort,
                         const QString& programName, const QString& userDb) {
    const QChar sep = QDir::separator();
    return WithTrailingSeparator(appDataPath) + companyShort + sep + programName + sep + userDb +
           QStringLiteral(".db");
}

QString RecentFileCaption(const QString& fullPath) {
    if (fullPath.isEmpty())
        return {};
    // Entries may come from either system's store, so both separators count.
    QString path = fullPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString fileName = path.section(QLatin1Char('/'), -1);
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    const QString drive = (colon == 1) ? path.left(2) : QString();
    const QChar sep = QDir::separator();
    return drive + sep + QStringLiteral(" ... ") + sep + fileName;
}

bool IsOnScreen(const QRect& window, const QRect& monitor) {
    return window.left() + window.width() >= monitor.left() &&
           window.left() <= monitor.left() + monitor.width() - 40 &&
           window.top() >= monitor.top() && window.top() <= monitor.top() + monitor.height() - 60;
}

QString LanguageCode(const QString& stored) {
    return stored.left(2);
}
