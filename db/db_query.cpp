#include "db/db_query.h"

#include "db/db_connection.h"

#include <SQLiteCpp/SQLiteCpp.h>

TDbQuery::TDbQuery(TDbConnection& connection, QString name)
    : Connection_(connection), Name_(std::move(name)) {
    Connection_.Register(this);
}

TDbQuery::~TDbQuery() {
    Close();
    Connection_.Unregister(this);
}

void TDbQuery::SetSQL(const QString& sql) {
    Close();
    Sql_ = sql.endsWith(QLatin1Char('\n')) ? sql : sql + QLatin1Char('\n');
}

void TDbQuery::Open(const QString& sql, int n) {
    Close();
    SetSQL(sql);
    const TDbHooks& hooks = Connection_.Hooks();
    if (hooks.TraceQuery)
        hooks.TraceQuery(Name_, Sql_, n);
    Open();
}

void TDbQuery::Open() {
    Close();
    Connection_.LogEvent(detPrepare, Sql_);
    Statement_ = std::make_unique<SQLite::Statement>(Connection_.Handle(), Sql_.toStdString());
    Connection_.LogEvent(detExecute, Sql_);
    RowCount_ = 0;
    Eof_ = true;
    Next();
}

void TDbQuery::Close() {
    Statement_.reset();
    Eof_ = true;
}

void TDbQuery::Next() {
    if (!Statement_ || Statement_->isDone())
        return;
    Eof_ = !Statement_->executeStep();
    if (Eof_)
        Connection_.LogEvent(detFetch, QString::number(RowCount_) + QStringLiteral(" rows"));
    else
        ++RowCount_;
}

QStringList TDbQuery::FieldNames() const {
    QStringList names;
    if (Statement_) {
        for (int i = 0; i < Statement_->getColumnCount(); ++i)
            names << QString::fromUtf8(Statement_->getColumnName(i));
    }
    return names;
}

int TDbQuery::ColumnIndex(const QString& name) const {
    if (!Statement_)
        throw SQLite::Exception("Query not open: " + Name_.toStdString());
    for (int i = 0; i < Statement_->getColumnCount(); ++i) {
        if (name.compare(QString::fromUtf8(Statement_->getColumnName(i)), Qt::CaseInsensitive) == 0)
            return i;
    }
    throw SQLite::Exception("Field not found: " + name.toStdString());
}

bool TDbQuery::HasField(const QString& name) const {
    return FieldNames().contains(name, Qt::CaseInsensitive);
}

QString TDbQuery::FieldAsString(const QString& name) const {
    if (Eof_)
        throw SQLite::Exception("No current row in " + Name_.toStdString());
    return QString::fromUtf8(Statement_->getColumn(ColumnIndex(name)).getText());
}

int TDbQuery::FieldAsInteger(const QString& name) const {
    return static_cast<int>(FieldAsInt64(name));
}

qint64 TDbQuery::FieldAsInt64(const QString& name) const {
    if (Eof_)
        throw SQLite::Exception("No current row in " + Name_.toStdString());
    const SQLite::Column column = Statement_->getColumn(ColumnIndex(name));
    if (column.isInteger() || column.isFloat())
        return column.getInt64();
    return FieldAsString(name).trimmed().toLongLong();
}
