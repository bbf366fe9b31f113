#include "app/program_log.h"

#include <QFile>

namespace {
QString& LogFileName() {
    static QString name;
    return name;
}
} // namespace

void SetLogFile(const QString& name) {
    LogFileName() = name;
}

QString LogFile() {
    return LogFileName();
}

void LogLine(const QString& text) {
    if (LogFileName().isEmpty())
        return;
    // A file that cannot be opened or created loses the line; the log must never stop the program.
    QFile file(LogFileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    file.write(text.toUtf8());
    file.write("\n");
    file.flush();
}
