#pragma once

#include "db/db_connection.h"
#include "db/db_query.h"

// The two connections of the program with their queries, as the main window owns them: the user
// database with a general query and one for second-level reads, the template database with its
// own query. The hooks object must outlive the set.
class TDatabaseSet {
public:
    explicit TDatabaseSet(const TDbHooks* hooks = nullptr);

    const TDbHooks& Hooks() const { return SQLite3Con.Hooks(); }
    void SetSqlLog(const std::shared_ptr<const TSqlLog>& log);

    // Shutdown order: user queries, user connection, template query, template connection.
    void CloseAll();

    TDbConnection SQLite3Con;
    TDbConnection SQLite3ConTpl;
    TDbQuery SQLQuery1;
    TDbQuery SQLQuery2;
    TDbQuery SQLQueryTpl;
};
