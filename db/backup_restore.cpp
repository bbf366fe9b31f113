#include "db/backup_restore.h"

#include "db/user_database.h"
#include "db/user_schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <SQLiteCpp/SQLiteCpp.h>

namespace {

TBackupResult Failure(TBackupError error, const QString& detail) {
    return TBackupResult{error, detail};
}

// Writes a copy of source to a temporary file beside target; the caller commits it (rename over
// target) or drops it. Returns an empty text on success, else the reason.
QString WriteCopy(const QString& source, QSaveFile& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    if (!target.open(QIODevice::WriteOnly))
        return target.errorString();
    constexpr qint64 kChunk = 1 << 16;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return in.errorString();
        if (target.write(chunk) != chunk.size())
            return target.errorString();
    }
    return QString();
}

QStringList MissingUserTables(SQLite::Database& file) {
    QStringList missing;
    for (const TUserTable& table : UserTables()) {
        SQLite::Statement q(file, "SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                                  "lower(name)=lower(?)");
        q.bind(1, table.Name);
        if (q.executeStep() && q.getColumn(0).getInt() == 0)
            missing << QLatin1String(table.Name);
    }
    return missing;
}

void CloseUserQueries(TDatabaseSet& db) {
    db.SQLQuery1.Close();
    db.SQLQuery2.Close();
}

TBackupResult Reopen(TDatabaseSet& db) {
    try {
        db.SQLite3Con.Open(false);
        UpgradeUserDatabase(db);
    } catch (const std::exception& e) {
        return Failure(beReopenFailed, QString::fromUtf8(e.what()));
    }
    return TBackupResult{};
}

} // namespace

TBackupResult CheckUserDatabaseFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return Failure(beSourceMissing, path);
    try {
        SQLite::Database file(path.toStdString(), SQLite::OPEN_READONLY);
        const std::string check = file.execAndGet("PRAGMA quick_check").getString();
        if (check != "ok")
            return Failure(beNotADatabase, QString::fromStdString(check));
        const QStringList missing = MissingUserTables(file);
        if (!missing.isEmpty())
            return Failure(beMissingTables, missing.join(QStringLiteral(", ")));
    } catch (const SQLite::Exception& e) {
        return Failure(beNotADatabase, QString::fromUtf8(e.what()));
    }
    return TBackupResult{};
}

TBackupResult BackupUserDatabase(TDatabaseSet& db, const QString& target) {
    CloseUserQueries(db);
    TDbConnection& user = db.SQLite3Con;
    if (user.Connected())
        user.CommitIfActive();
    const QString source = user.DatabaseName();
    if (!QFileInfo(source).isFile())
        return Failure(beSourceMissing, source);
    // Renaming a copy over the open file would leave the connection writing to a file that is
    // no longer in the folder; and a backup in place of the original is no backup.
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return Failure(beTargetIsDatabase, target);
    QSaveFile copy(target);
    const QString error = WriteCopy(source, copy);
    if (!error.isEmpty())
        return Failure(beCopyFailed, error);
    if (!copy.commit())
        return Failure(beCopyFailed, copy.errorString());
    db.Hooks().Log(QStringLiteral("BACKUP in ") + target);
    return TBackupResult{};
}

TBackupResult RestoreUserDatabase(TDatabaseSet& db, const QString& source) {
    CloseUserQueries(db);
    const TBackupResult check = CheckUserDatabaseFile(source);
    if (!check.Ok())
        return check;
    TDbConnection& user = db.SQLite3Con;
    user.Close();
    // The copy is complete before the rename, so the user database is either the old file or
    // the whole new one, never a half-written file.
    QSaveFile replacement(user.DatabaseName());
    QString error = WriteCopy(source, replacement);
    if (error.isEmpty() && !replacement.commit())
        error = replacement.errorString();
    if (!error.isEmpty()) {
        replacement.cancelWriting();
        const TBackupResult reopened = Reopen(db);
        return reopened.Ok() ? Failure(beCopyFailed, error) : reopened;
    }
    db.Hooks().Log(QStringLiteral("RESTORE from ") + source);
    return Reopen(db);
}
