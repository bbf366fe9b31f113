#pragma once

#include <QString>

// Kinds of events a connection reports to the SQL log; the numbers are the log's event kinds.
enum TDbEventType {
    detCustom = 0,
    detPrepare = 1,
    detExecute = 2,
    detFetch = 3,
    detCommit = 4,
    detRollBack = 5,
    detParamValue = 6,
    detActualSQL = 7
};

// The SQL log: one line per connection event, appended to a file that is opened and closed for
// every line so that the log survives a crash of the program.
class TSqlLog {
public:
    explicit TSqlLog(QString fileName = QStringLiteral("sql.log"));

    const QString& FileName() const { return FileName_; }

    static QString KindText(int kind);
    static QString FormatLine(const QString& prefix, int kind, const QString& message);
    void Write(const QString& prefix, int kind, const QString& message) const;

private:
    QString FileName_;
};
