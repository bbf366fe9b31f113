#include "db/node_sql.h"

#include "db/sql_text.h"

namespace {

QString JoinIds(const std::vector<int>& ids) {
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.join(QLatin1Char(','));
}

// The text column of mb_text for a language; like the language index, anything that is not
// German or French reads English.
QString TextColumn(const QString& language) {
    if (language == QLatin1String("de") || language == QLatin1String("fr"))
        return QStringLiteral("txt_") + language;
    return QStringLiteral("txt_en");
}

} // namespace

QString DevicesOfSegmentQuery(int segmentId) {
    return QStringLiteral("SELECT * FROM mb_node WHERE pid=") + QString::number(segmentId) +
           QStringLiteral(" AND parentID=0 ORDER BY addr, name");
}

QString SubNodesOfDeviceQuery(int segmentId, int deviceId) {
    return QStringLiteral("SELECT * FROM mb_node WHERE pid=") + QString::number(segmentId) +
           QStringLiteral(" AND parentID=") + QString::number(deviceId) +
           QStringLiteral(" ORDER BY sorting");
}

QString NodeByIdQuery(int nodeId) {
    return QStringLiteral("SELECT * FROM mb_node WHERE id=") + QString::number(nodeId) +
           QStringLiteral(" LIMIT 0,1");
}

QString CollapseStatement(int nodeId, bool collapsed) {
    return QStringLiteral("UPDATE mb_node SET collapse='") +
           (collapsed ? QStringLiteral("1") : QString()) + QStringLiteral("' WHERE id=") +
           QString::number(nodeId);
}

QString TemplateSubNodeCountQuery(int templateNodeId) {
    return QStringLiteral("SELECT count(*) AS cnt FROM mb_node WHERE parentID=") +
           QString::number(templateNodeId);
}

QString TemplateNodeQuery(int templateNodeId) {
    return NodeByIdQuery(templateNodeId);
}

QString TemplateSubNodesQuery(int templateNodeId) {
    return QStringLiteral("SELECT * FROM mb_node WHERE parentID=") +
           QString::number(templateNodeId) + QStringLiteral(" ORDER BY sorting");
}

QString NodeInsertStatement(int segmentId, int parentId, const TNodeInsertRow& row) {
    const bool subNode = parentId >= 0;
    QString sql = subNode ? QStringLiteral("INSERT INTO mb_node (pid,sorting,title,parentID,name,"
                                           "fullnameID,devid,vendorID,icon,icon_active,cond,"
                                           "vallist,load,collapse) VALUES(")
                          : QStringLiteral("INSERT INTO mb_node (pid,sorting,title,name,"
                                           "fullnameID,devid,vendorID,icon,icon_active,cond,"
                                           "vallist,load,collapse) VALUES(");
    QStringList values = {QString::number(segmentId), SqlNumber(row.Sorting), SqlQuote(row.Title)};
    if (subNode)
        values << QString::number(parentId);
    values << SqlQuote(row.Name) << SqlNumber(row.FullnameId) << SqlQuote(row.Devid)
           << SqlNumber(row.VendorId) << SqlNumber(row.Icon) << SqlNumber(row.IconActive)
           << SqlQuote(row.Cond) << SqlQuote(row.Vallist) << SqlQuote(row.Load)
           << SqlQuote(row.Collapse);
    return sql + values.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString SubNodeIdsQuery(int deviceId) {
    return QStringLiteral("SELECT id FROM mb_node WHERE parentID=") + QString::number(deviceId);
}

QString DeleteNodesStatement(const std::vector<int>& ids) {
    return QStringLiteral("DELETE FROM mb_node WHERE id IN(") + JoinIds(ids) + QLatin1Char(')');
}

QString DeleteParametersStatement(const std::vector<int>& ids) {
    return QStringLiteral("DELETE FROM mb_parameter WHERE pid IN(") + JoinIds(ids) +
           QLatin1Char(')');
}

QString AddNodeListQuery(const QString& devices, const QString& language) {
    QStringList ids;
    for (const QString& entry : devices.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = entry.trimmed().toInt(&ok);
        if (ok)
            ids << QString::number(id);
    }
    const QString column = TextColumn(language);
    return QStringLiteral("SELECT n.id, ") + column +
           QStringLiteral(" AS text FROM mb_node AS n, mb_text AS t WHERE t.id=n.fullnameID AND "
                          "n.id IN (") +
           ids.join(QLatin1Char(',')) +
           QStringLiteral(") AND n.parentID=0 ORDER BY n.maxversion, t.") + column;
}
