#include "devcomm_fixture.h"

#include "db/user_database.h"

#include <SQLiteCpp/SQLiteCpp.h>

TUserDbFixture::TUserDbFixture() : Db(&Hooks) {
    Hooks.LogLine = [this](const QString& line) { Log << line; };
    Hooks.MemoLine = [this](const QString& line) { Memo << line; };
    Hooks.TraceExec = [this](const QString& sql, int n) { Traces.emplace_back(n, sql); };
    Hooks.TraceQuery = [this](const QString&, const QString& sql, int n) {
        Traces.emplace_back(n, sql);
    };
    Db.SQLite3ConTpl.SetDatabaseName(QStringLiteral(PARSETTA_DEVICES_DB));
    Db.SQLite3ConTpl.Open(false);
    Nodes.SetCurrentSegmentId(CreateUserDatabase(Db, UserDbPath()));
}

QStringList TUserDbFixture::Rows(const QString& sql) const {
    SQLite::Database db(UserDbPath().toStdString(), SQLite::OPEN_READONLY);
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

int TUserDbFixture::AddDevice(int templateId, int addr, const QString& rfid) {
    const int id = Nodes.AddNodeFromTemplate(templateId);
    Db.SQLite3Con.Execute(QStringLiteral("UPDATE mb_node SET addr=%1, rfid='%2' WHERE id=%3")
                              .arg(addr)
                              .arg(QString(rfid).replace(QStringLiteral("'"), QStringLiteral("''")))
                              .arg(id),
                          0);
    return id;
}
