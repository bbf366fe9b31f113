#include "db/user_database.h"

#include "db/sql_text.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct TTableTraceNumbers {
    int Drop;
    int Create;
    int AddColumn;
};

// Trace numbers of the schema statements, per table in the order of UserTables().
const TTableTraceNumbers kTableTraces[] = {{15, 16, 22}, {18, 19, 23}, {20, 21, 24}};

void CreateTable(TDbConnection& user, const TUserTable& table, const TTableTraceNumbers& traces) {
    user.ExecTraced(DropTableStatement(QLatin1String(table.Name)), traces.Drop);
    const QString create = CreateTableStatement(QLatin1String(table.Name), table.Fields);
    user.Hooks().Log(create);
    user.ExecTraced(create, traces.Create);
}

TParameterInsertRow ReadParameterRow(const TDbQuery& q) {
    TParameterInsertRow r;
    r.Sorting = q.FieldAsString(QStringLiteral("sorting"));
    r.Modreg = q.FieldAsString(QStringLiteral("modreg"));
    r.Regcnt = q.FieldAsString(QStringLiteral("regcnt"));
    r.Access = q.FieldAsString(QStringLiteral("access"));
    r.Type = q.FieldAsString(QStringLiteral("type"));
    r.Value = q.FieldAsString(QStringLiteral("value"));
    r.Min = q.FieldAsString(QStringLiteral("min"));
    r.Max = q.FieldAsString(QStringLiteral("max"));
    r.Factory = q.FieldAsString(QStringLiteral("factory"));
    r.TextId = q.FieldAsString(QStringLiteral("textID"));
    r.Copyto = q.FieldAsString(QStringLiteral("copyto"));
    r.Refresh = q.FieldAsString(QStringLiteral("refresh"));
    r.Block = q.FieldAsString(QStringLiteral("block"));
    r.Byteofs = q.FieldAsString(QStringLiteral("byteofs"));
    r.Label = q.FieldAsString(QStringLiteral("label"));
    r.Cond = q.FieldAsString(QStringLiteral("cond"));
    r.Vallist = q.FieldAsString(QStringLiteral("vallist"));
    return r;
}

bool HasAllUserTables(TDbConnection& user) {
    const QStringList present = user.TableNames();
    for (const TUserTable& table : UserTables()) {
        if (!present.contains(QLatin1String(table.Name), Qt::CaseInsensitive))
            return false;
    }
    return true;
}

} // namespace

int CreateUserDatabase(TDatabaseSet& db, const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir(folder).exists() && !QDir().mkpath(folder))
        throw std::runtime_error("Cannot create folder " + folder.toStdString());
    TDbConnection& user = db.SQLite3Con;
    if (user.DatabaseName() != path)
        user.SetDatabaseName(path);
    user.Open(true);
    user.CommitIfActive();
    user.StartTransaction();
    const std::vector<TUserTable>& tables = UserTables();
    CreateTable(user, tables[0], kTableTraces[0]);
    user.ExecTraced(FirstSegmentRowStatement(), 17);
    CreateTable(user, tables[1], kTableTraces[1]);
    CreateTable(user, tables[2], kTableTraces[2]);
    CopyParameters(db, 0, 0);
    user.Commit();
    return 1;
}

void UpgradeUserDatabase(TDatabaseSet& db) {
    TDbConnection& user = db.SQLite3Con;
    user.CommitIfActive();
    user.StartTransaction();
    const std::vector<TUserTable>& tables = UserTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const QString table = QLatin1String(tables[t].Name);
        const QStringList present = user.ColumnNames(table);
        for (const TDbFields& field : tables[t].Fields) {
            if (present.contains(QLatin1String(field.Name), Qt::CaseInsensitive))
                continue;
            user.ExecTraced(AddColumnStatement(table, field), kTableTraces[t].AddColumn);
            user.Hooks().Log(QStringLiteral("Add Field: ") + table + QLatin1Char('.') +
                             QLatin1String(field.Name));
        }
    }
    user.Commit();
}

TUserDbOpening OpenUserDatabase(TDatabaseSet& db, const QString& path) {
    TDbConnection& user = db.SQLite3Con;
    const QString fileName = QFileInfo(path).fileName();
    if (user.DatabaseName() != path)
        user.SetDatabaseName(path);
    if (QFileInfo(path).absoluteDir().exists()) {
        user.Open(true);
        if (HasAllUserTables(user)) {
            user.Hooks().Log(QStringLiteral("UpdateCheck Datenbank ") + fileName);
            UpgradeUserDatabase(db);
            return udUpgraded;
        }
        user.Close();
    }
    user.Hooks().Log(QStringLiteral("Neue Datenbank ") + fileName +
                     QStringLiteral(" wird angelegt!"));
    CreateUserDatabase(db, path);
    return udCreated;
}

void CopyParameters(TDatabaseSet& db, int s, int d) {
    TDbQuery& q = db.SQLQueryTpl;
    q.Open(ParametersOfNodeQuery(s), 11);
    std::vector<TParameterInsertRow> rows;
    for (; !q.Eof(); q.Next())
        rows.push_back(ReadParameterRow(q));
    q.Close();
    const QString sql = rows.empty() ? QString() : ParameterInsertStatement(d, rows);
    const TDbHooks& hooks = db.Hooks();
    hooks.Memo(QStringLiteral("SQL: ") + sql);
    TDbConnection& user = db.SQLite3Con;
    if (!rows.empty()) {
        user.CommitIfActive();
        user.StartTransaction();
        hooks.Pump();
        user.ExecTraced(sql, 13);
        hooks.Pump();
    }
    user.Commit();
}

int FirstSegmentId(TDatabaseSet& db, int fallback) {
    TDbQuery& q = db.SQLQuery1;
    q.Open(FirstSegmentQuery(), 2);
    const int id = q.Eof() ? fallback : q.FieldAsInteger(QStringLiteral("id"));
    q.Close();
    return id;
}
