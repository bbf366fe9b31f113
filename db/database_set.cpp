#include "db/database_set.h"

TDatabaseSet::TDatabaseSet(const TDbHooks* hooks)
    : SQLite3Con(QStringLiteral("SQLite3Con"), drUser, hooks),
      SQLite3ConTpl(QStringLiteral("SQLite3ConTpl"), drTemplate, hooks),
      SQLQuery1(SQLite3Con, QStringLiteral("SQLQuery1")),
      SQLQuery2(SQLite3Con, QStringLiteral("SQLQuery2")),
      SQLQueryTpl(SQLite3ConTpl, QStringLiteral("SQLQueryTpl")) {}

void TDatabaseSet::SetSqlLog(const std::shared_ptr<const TSqlLog>& log) {
    SQLite3Con.SetSqlLog(log);
    SQLite3ConTpl.SetSqlLog(log);
}

void TDatabaseSet::CloseAll() {
    SQLQuery1.Close();
    SQLQuery2.Close();
    SQLite3Con.Close();
    SQLQueryTpl.Close();
    SQLite3ConTpl.Close();
}
