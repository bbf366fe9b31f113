#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace SQLite {
class Statement;
}
class TDbConnection;

// A forward-reading query that follows the program's query convention: close, set the SQL text,
// trace it with the caller's number, open, read fields by column name, step to the end.
class TDbQuery {
public:
    TDbQuery(TDbConnection& connection, QString name);
    ~TDbQuery();
    TDbQuery(const TDbQuery&) = delete;
    TDbQuery& operator=(const TDbQuery&) = delete;

    const QString& Name() const { return Name_; }
    TDbConnection& Connection() { return Connection_; }

    // The text as the query holds it, ending with a line break.
    const QString& SQL() const { return Sql_; }
    void SetSQL(const QString& sql);

    void Open(const QString& sql, int n);
    void Open();
    void Close();
    bool Active() const { return Statement_ != nullptr; }

    bool Eof() const { return Eof_; }
    void Next();

    QStringList FieldNames() const;
    bool HasField(const QString& name) const;
    QString FieldAsString(const QString& name) const;
    int FieldAsInteger(const QString& name) const;
    qint64 FieldAsInt64(const QString& name) const;

private:
    int ColumnIndex(const QString& name) const;

    TDbConnection& Connection_;
    QString Name_;
    QString Sql_;
    std::unique_ptr<SQLite::Statement> Statement_;
    bool Eof_ = true;
    int RowCount_ = 0;
};
