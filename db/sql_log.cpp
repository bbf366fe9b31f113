#include "db/sql_log.h"

#include <QFile>

TSqlLog::TSqlLog(QString fileName) : FileName_(std::move(fileName)) {}

QString TSqlLog::KindText(int kind) {
    switch (kind) {
    case detCustom:
        return QStringLiteral("detCustom\t\t");
    case detPrepare:
        return QStringLiteral("detPrepare\t\t");
    case detExecute:
        return QStringLiteral("detExecute\t\t");
    case detFetch:
        return QStringLiteral("detFetch\t\t");
    case detCommit:
        return QStringLiteral("detCommit\t\t");
    case detRollBack:
        return QStringLiteral("detRollBack\t\t");
    case detParamValue:
        return QStringLiteral("detParamValue\t");
    case detActualSQL:
        return QStringLiteral("detActualSQL\t");
    default:
        return QStringLiteral("Unknown\t\t\t");
    }
}

QString TSqlLog::FormatLine(const QString& prefix, int kind, const QString& message) {
    // One event is one line: line breaks inside a statement text become blanks.
    QString flat = message;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return prefix + KindText(kind) + flat;
}

void TSqlLog::Write(const QString& prefix, int kind, const QString& message) const {
    QFile file(FileName_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    file.write(FormatLine(prefix, kind, message).toUtf8());
    file.write("\n");
}
