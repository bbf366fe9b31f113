#include "app/command_line.h"

#include "app/oem_info.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString FolderPart(const QString& path) {
    const qsizetype slash =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

bool LogFolderExists(const QString& path) {
    const QString folder = FolderPart(path);
    return !folder.isEmpty() && QDir(folder).exists();
}

TStartOptions ParseCommandLine(const QStringList& arguments, TOemInfo& oem,
                               const std::function<bool(const QString&)>& folderExists) {
    TStartOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString sw = arguments[i].toUpper();
        const QString next = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (sw == QLatin1String("/KOLVANE")) {
            options.ServiceMode = true;
        } else if (sw == QLatin1String("/LOG")) {
            options.PacketLogEnabled = !next.isEmpty() && folderExists(next);
            options.ServiceLogPath = options.PacketLogEnabled ? next : QString();
        } else if (sw == QLatin1String("/SQLLOG")) {
            options.SqlLogEnabled = true;
        } else if (sw == QLatin1String("/OEM")) {
            bool ok = false;
            const int n = next.trimmed().toInt(&ok, 10);
            oem.SelectByOemId(ok ? n : -1);
        }
    }
    return options;
}

QString ProgramNameFromPath(const QString& programPath, bool windows) {
    QString name = programPath.mid(FolderPart(programPath).size());
    if (windows && name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name;
}

void SelectBrand(TOemInfo& oem, const QString& programName) {
    if (oem.IsValid())
        return;
    if (oem.SelectByProgName(programName) == -1)
        oem.SelectByIndex(0);
}
