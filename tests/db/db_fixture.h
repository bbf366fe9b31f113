#pragma once

#include "db/database_set.h"

#include <QStringList>
#include <QTemporaryDir>
#include <utility>
#include <vector>

// A temporary folder with a small template database, and a database set whose hooks record
// every trace, log and memo line.
class TDbFixture {
public:
    TDbFixture();

    QString Path(const QString& relative) const { return Dir.filePath(relative); }
    // Writes a template database with two common parameter rows (one holding an apostrophe).
    QString MakeTemplate(const QString& name = QStringLiteral("devices.db")) const;
    void OpenTemplate();

    QTemporaryDir Dir;
    QStringList Log;
    QStringList Memo;
    std::vector<std::pair<int, QString>> Traces;
    TDbHooks Hooks;
    TDatabaseSet Db;
};

// Runs one SQL text on a database file outside the program's connections.
void ExecOnFile(const QString& path, const QString& sql);
// The rows of a query on a file, each row's columns joined by "|".
QStringList RowsOf(const QString& path, const QString& sql);
