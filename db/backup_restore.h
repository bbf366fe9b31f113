#pragma once

#include "db/database_set.h"

#include <QString>
#include <QStringList>

enum TBackupError {
    beNone,
    beSourceMissing,    // the file to copy from does not exist
    beNotADatabase,     // the chosen file does not open as an SQLite database
    beMissingTables,    // it opens, but lacks tables of the user database
    beCopyFailed,       // reading, writing or replacing a file failed
    beTargetIsDatabase, // the backup was to overwrite the user database file itself
    beReopenFailed      // the user database could not be opened again after the restore
};

struct TBackupResult {
    TBackupError Error = beNone;
    // What went wrong in the words of the file system or SQLite; for beMissingTables the
    // missing table names joined by ", ".
    QString Detail;
    bool Ok() const { return Error == beNone; }
};

// Checks that path opens as a user database: an SQLite file that passes a quick integrity check
// and holds mb_segment, mb_node and mb_parameter. The file is only read.
TBackupResult CheckUserDatabaseFile(const QString& path);

// Copies the user database file to target, replacing target only once the whole copy is written.
// Closes the two user queries first and commits an open user transaction, so the file on disk
// is complete. Writes the program-log line of the backup.
TBackupResult BackupUserDatabase(TDatabaseSet& db, const QString& target);

// Replaces the user database file by source: source is checked first; then the user connection
// is closed, the copy is written beside the user database and renamed over it, and the
// connection is opened again, with any missing columns added. On failure the current database
// file is left as it was and reopened. Works with source being the open file itself.
TBackupResult RestoreUserDatabase(TDatabaseSet& db, const QString& source);
