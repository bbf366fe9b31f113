#pragma once

#include "db/db_hooks.h"
#include "db/sql_log.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace SQLite {
class Database;
}
class TDbQuery;

enum TDbRole { drUser, drTemplate, drOther };

// One SQLite connection with its transaction. Statements follow the program's statement
// convention (commit if active, start, trace, execute, commit); queries (TDbQuery) register here
// so that closing the connection closes them first. Used on the user-interface thread only.
class TDbConnection {
public:
    TDbConnection(QString name, TDbRole role, const TDbHooks* hooks = nullptr);
    ~TDbConnection();
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;

    const QString& Name() const { return Name_; }
    TDbRole Role() const { return Role_; }
    const TDbHooks& Hooks() const;
    void SetHooks(const TDbHooks* hooks) { Hooks_ = hooks; }

    const QString& DatabaseName() const { return DatabaseName_; }
    void SetDatabaseName(const QString& path);

    // The SQL log is off while no log is set.
    void SetSqlLog(std::shared_ptr<const TSqlLog> log) { SqlLog_ = std::move(log); }
    void LogEvent(int kind, const QString& message) const;

    // With mayCreate false a missing file is an error instead of a new empty database.
    void Open(bool mayCreate = true);
    void Close();
    bool Connected() const { return Db_ != nullptr; }
    SQLite::Database& Handle();

    QStringList TableNames();
    QStringList ColumnNames(const QString& table);

    bool InTransaction() const { return InTransaction_; }
    void StartTransaction();
    void Commit();
    void CommitIfActive();
    void Rollback();

    // Runs sql after the trace with number n, inside whatever transaction is active.
    void ExecTraced(const QString& sql, int n);
    // The statement convention: commit if active, start, trace n, execute, commit.
    void Execute(const QString& sql, int n);
    qint64 LastInsertRowId();

private:
    friend class TDbQuery;
    void Register(TDbQuery* query);
    void Unregister(TDbQuery* query);
    void ExecuteDirect(const QString& sql);
    void InstallTraceHook();

    QString Name_;
    TDbRole Role_;
    const TDbHooks* Hooks_;
    QString DatabaseName_;
    std::shared_ptr<const TSqlLog> SqlLog_;
    std::unique_ptr<SQLite::Database> Db_;
    bool InTransaction_ = false;
    std::vector<TDbQuery*> Queries_;
};
