#include "db/sql_text.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

QString SqlQuote(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString SqlNumber(const QString& text) {
    bool ok = false;
    const QString trimmed = text.trimmed();
    trimmed.toLongLong(&ok);
    if (ok)
        return trimmed;
    trimmed.toDouble(&ok);
    return ok ? trimmed : QStringLiteral("0");
}

QString CreateTableStatement(const QString& table, std::span<const TDbFields> fields) {
    QString sql = QStringLiteral("CREATE TABLE `") + table + QStringLiteral("` (");
    for (std::size_t i = 0; i < fields.size(); ++i) {
        sql += kCrLf + QStringLiteral(" `") + QLatin1String(fields[i].Name) + QStringLiteral("` ") +
               QLatin1String(fields[i].Definition);
        if (i + 1 < fields.size())
            sql += QLatin1Char(',');
    }
    return sql + kCrLf + QStringLiteral(");");
}

QString DropTableStatement(const QString& table) {
    return QStringLiteral("DROP TABLE IF EXISTS ") + table;
}

QString AddColumnStatement(const QString& table, const TDbFields& field) {
    return QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" ADD COLUMN ") +
           QLatin1String(field.Name) + QLatin1Char(' ') + QLatin1String(field.Definition) +
           QLatin1Char(';');
}

QString FirstSegmentRowStatement() {
    return QStringLiteral("INSERT INTO mb_segment VALUES(1,0,0,'Modbus-Segment','');");
}

QString FirstSegmentQuery() {
    return QStringLiteral("SELECT id FROM mb_segment LIMIT 0,1");
}

QString SegmentByIdQuery(int segmentId) {
    return QStringLiteral("SELECT * FROM mb_segment WHERE id=") + QString::number(segmentId) +
           QStringLiteral(" LIMIT 0,1");
}

QString ParametersOfNodeQuery(int nodeId) {
    return QStringLiteral("SELECT * FROM mb_parameter WHERE pid=") + QString::number(nodeId);
}

QString ParameterInsertStatement(int targetNodeId, const std::vector<TParameterInsertRow>& rows) {
    QString sql = QStringLiteral("INSERT INTO mb_parameter (pid,sorting,modreg,regcnt,access,type,"
                                 "value,min,max,factory,textID,copyto,refresh,block,byteofs,"
                                 "label,cond,vallist) VALUES ") +
                  kCrLf;
    bool first = true;
    for (const TParameterInsertRow& r : rows) {
        const QStringList values = {QString::number(targetNodeId),
                                    SqlNumber(r.Sorting),
                                    SqlNumber(r.Modreg),
                                    SqlNumber(r.Regcnt),
                                    SqlNumber(r.Access),
                                    SqlQuote(r.Type),
                                    SqlQuote(r.Value),
                                    SqlQuote(r.Min),
                                    SqlQuote(r.Max),
                                    SqlQuote(r.Factory),
                                    SqlNumber(r.TextId),
                                    SqlQuote(r.Copyto),
                                    SqlQuote(r.Refresh),
                                    SqlQuote(r.Block),
                                    SqlQuote(r.Byteofs),
                                    SqlQuote(r.Label),
                                    SqlQuote(r.Cond),
                                    SqlQuote(r.Vallist)};
        sql += (first ? QString() : QStringLiteral(",")) + QLatin1Char('(') +
               values.join(QLatin1Char(',')) + QLatin1Char(')') + kCrLf;
        first = false;
    }
    return sql;
}
