#pragma once

#include <QString>
#include <functional>

// What the database layer reports to the application: the service-mode trace of every statement
// and query, program-log lines, lines for the diagnostic memo, and a chance to process pending
// window events during long passes. Every member may be left empty.
struct TDbHooks {
    std::function<void(const QString& sql, int n)> TraceExec;
    std::function<void(const QString& queryName, const QString& sqlText, int n)> TraceQuery;
    std::function<void(const QString& line)> LogLine;
    std::function<void(const QString& line)> MemoLine;
    std::function<void()> ProcessEvents;

    void Log(const QString& line) const {
        if (LogLine)
            LogLine(line);
    }
    void Memo(const QString& line) const {
        if (MemoLine)
            MemoLine(line);
    }
    void Pump() const {
        if (ProcessEvents)
            ProcessEvents();
    }
};
