#include "db/db_connection.h"

#include "db/db_query.h"

#include <QDir>
#include <QFileInfo>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <sqlite3.h>

namespace {

const TDbHooks& NoHooks() {
    static const TDbHooks hooks;
    return hooks;
}

QString RolePrefix(TDbRole role) {
    switch (role) {
    case drUser:
        return QStringLiteral("USR\t");
    case drTemplate:
        return QStringLiteral("TPL\t");
    default:
        return QStringLiteral("***\t");
    }
}

// SQLite reports here every statement as it starts running, including those run by SQLiteCpp
// itself; the SQL log records them as the text actually sent to the engine.
int TraceCallback(unsigned kind, void* context, void*, void* text) {
    if (kind == SQLITE_TRACE_STMT && text != nullptr) {
        const auto* connection = static_cast<const TDbConnection*>(context);
        connection->LogEvent(detActualSQL, QString::fromUtf8(static_cast<const char*>(text)));
    }
    return 0;
}

} // namespace

TDbConnection::TDbConnection(QString name, TDbRole role, const TDbHooks* hooks)
    : Name_(std::move(name)), Role_(role), Hooks_(hooks) {}

TDbConnection::~TDbConnection() {
    for (TDbQuery* query : Queries_)
        query->Close();
}

const TDbHooks& TDbConnection::Hooks() const {
    return Hooks_ ? *Hooks_ : NoHooks();
}

void TDbConnection::SetDatabaseName(const QString& path) {
    if (Connected())
        Close();
    DatabaseName_ = path;
}

void TDbConnection::LogEvent(int kind, const QString& message) const {
    if (SqlLog_)
        SqlLog_->Write(RolePrefix(Role_), kind, message);
}

void TDbConnection::Open(bool mayCreate) {
    if (Connected())
        return;
    int flags = SQLite::OPEN_READWRITE;
    if (mayCreate)
        flags |= SQLite::OPEN_CREATE;
    Db_ = std::make_unique<SQLite::Database>(QDir::toNativeSeparators(DatabaseName_).toStdString(),
                                             flags);
    InTransaction_ = false;
    InstallTraceHook();
    LogEvent(detCustom, QStringLiteral("Connect: ") + DatabaseName_);
}

void TDbConnection::InstallTraceHook() {
    if (SqlLog_)
        sqlite3_trace_v2(Db_->getHandle(), SQLITE_TRACE_STMT, &TraceCallback, this);
}

void TDbConnection::Close() {
    for (TDbQuery* query : Queries_)
        query->Close();
    if (!Db_)
        return;
    // An open transaction at this point belongs to a command that ended with an error; its
    // changes are dropped, as SQLite itself would on close.
    if (InTransaction_)
        Rollback();
    LogEvent(detCustom, QStringLiteral("Disconnect: ") + DatabaseName_);
    Db_.reset();
}

SQLite::Database& TDbConnection::Handle() {
    if (!Db_)
        throw SQLite::Exception("Database not connected: " + Name_.toStdString());
    return *Db_;
}

QStringList TDbConnection::TableNames() {
    QStringList names;
    SQLite::Statement statement(
        Handle(), "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'"
                  " ORDER BY name");
    while (statement.executeStep())
        names << QString::fromUtf8(statement.getColumn(0).getText());
    return names;
}

QStringList TDbConnection::ColumnNames(const QString& table) {
    QStringList names;
    SQLite::Statement statement(Handle(), "SELECT name FROM pragma_table_info(?)");
    statement.bind(1, table.toStdString());
    while (statement.executeStep())
        names << QString::fromUtf8(statement.getColumn(0).getText());
    return names;
}

void TDbConnection::ExecuteDirect(const QString& sql) {
    LogEvent(detExecute, sql);
    Handle().exec(sql.toStdString());
}

void TDbConnection::StartTransaction() {
    if (InTransaction_)
        return;
    Handle().exec("BEGIN");
    InTransaction_ = true;
}

void TDbConnection::Commit() {
    if (!InTransaction_)
        return;
    Handle().exec("COMMIT");
    InTransaction_ = false;
    LogEvent(detCommit, QStringLiteral("COMMIT"));
}

void TDbConnection::CommitIfActive() {
    Commit();
}

void TDbConnection::Rollback() {
    if (!InTransaction_)
        return;
    InTransaction_ = false;
    Handle().exec("ROLLBACK");
    LogEvent(detRollBack, QStringLiteral("ROLLBACK"));
}

void TDbConnection::ExecTraced(const QString& sql, int n) {
    if (Hooks().TraceExec)
        Hooks().TraceExec(sql, n);
    ExecuteDirect(sql);
}

void TDbConnection::Execute(const QString& sql, int n) {
    CommitIfActive();
    StartTransaction();
    ExecTraced(sql, n);
    Commit();
}

qint64 TDbConnection::LastInsertRowId() {
    return Handle().getLastInsertRowid();
}

void TDbConnection::Register(TDbQuery* query) {
    Queries_.push_back(query);
}

void TDbConnection::Unregister(TDbQuery* query) {
    Queries_.erase(std::remove(Queries_.begin(), Queries_.end(), query), Queries_.end());
}
