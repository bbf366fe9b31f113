#include "db_fixture.h"

#include <SQLiteCpp/SQLiteCpp.h>

TDbFixture::TDbFixture() : Db(&Hooks) {
    Hooks.LogLine = [this](const QString& line) { Log << line; };
    Hooks.MemoLine = [this](const QString& line) { Memo << line; };
    Hooks.TraceExec = [this](const QString& sql, int n) { Traces.emplace_back(n, sql); };
    Hooks.TraceQuery = [this](const QString& name, const QString& sql, int n) {
        Traces.emplace_back(n, name + QStringLiteral(": ") + sql);
    };
}

QString TDbFixture::MakeTemplate(const QString& name) const {
    const QString path = Path(name);
    ExecOnFile(path, QStringLiteral(
                         "CREATE TABLE mb_parameter (id INTEGER PRIMARY KEY, pid int, sorting int,"
                         " modreg int, regcnt int, access int, type varchar(16), value varchar(24),"
                         " min varchar(8), max varchar(8), factory varchar(24), textID int,"
                         " copyto varchar(64), refresh char(1), block varchar(10),"
                         " byteofs varchar(10), label varchar(16), cond varchar(64),"
                         " vallist varchar(64));"
                         "INSERT INTO mb_parameter VALUES(1,0,1,45201,12,3,'ASCII24','Halle 1',"
                         "'','','',5,'mb_segment.caption','1','0','0','','','');"
                         "INSERT INTO mb_parameter VALUES(2,0,2,45213,8,3,'ASCII16','O''Brien',"
                         "'','','',6,'mb_segment.tag','1','0','0','','','');"
                         "INSERT INTO mb_parameter VALUES(3,39,1,45010,1,3,'UINT16','1',"
                         "'1','247','1',7,'mb_node.addr','1','0','0','','','');"));
    return path;
}

void TDbFixture::OpenTemplate() {
    Db.SQLite3ConTpl.SetDatabaseName(MakeTemplate());
    Db.SQLite3ConTpl.Open(false);
}

void ExecOnFile(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(sql.toStdString());
}

QStringList RowsOf(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement q(db, sql.toStdString());
    QStringList rows;
    while (q.executeStep()) {
        QStringList columns;
        for (int i = 0; i < q.getColumnCount(); ++i)
            columns << QString::fromUtf8(q.getColumn(i).getText());
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}
