#pragma once

#include <QString>

// The program log: plain lines without time stamps, off until a file name is set. Each line
// opens, appends to and closes the file, so the log is complete even after a crash.
void SetLogFile(const QString& name);
QString LogFile();
void LogLine(const QString& text);
