#include "device_template.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <algorithm>
#include <stdexcept>

namespace {

std::string Unwrapped(std::string name) {
    for (const char* marker : {"{{", "}}"})
        for (auto at = name.find(marker); at != std::string::npos; at = name.find(marker))
            name.erase(at, 2);
    return name;
}

std::string NewestVersion(SQLite::Database& db, const std::string& typeCode) {
    SQLite::Statement query(db, "SELECT max(v) FROM ("
                                "SELECT minversion AS v FROM mb_node WHERE devid=?1 UNION ALL "
                                "SELECT maxversion FROM mb_node WHERE devid=?1 UNION ALL "
                                "SELECT minversion FROM mb_diag WHERE devid=?1 UNION ALL "
                                "SELECT maxversion FROM mb_diag WHERE devid=?1) WHERE v<>''");
    query.bind(1, typeCode);
    if (query.executeStep() && !query.getColumn(0).isNull())
        return query.getColumn(0).getString();
    return "0100";
}

TTemplateRow ReadRow(SQLite::Statement& query) {
    TTemplateRow row;
    row.nodeId = query.getColumn("pid").getInt64();
    row.sorting = query.getColumn("sorting").getInt();
    row.modreg = query.getColumn("modreg").getInt();
    row.regcnt = query.getColumn("regcnt").getInt();
    row.access = query.getColumn("access").getInt();
    row.type = query.getColumn("type").getString();
    row.factory = query.getColumn("factory").getString();
    row.block = query.getColumn("block").getString();
    row.byteofs = query.getColumn("byteofs").getString();
    row.label = query.getColumn("label").getString();
    row.cond = query.getColumn("cond").getString();
    row.vallist = query.getColumn("vallist").getString();
    return row;
}

} // namespace

TDeviceTemplate TDeviceTemplate::Load(const std::string& dbPath, const std::string& typeCode,
                                      const std::string& version) {
    SQLite::Database db(dbPath, SQLite::OPEN_READONLY);
    TDeviceTemplate result;
    result.typeCode = typeCode;
    std::transform(result.typeCode.begin(), result.typeCode.end(), result.typeCode.begin(),
                   ::toupper);
    result.version = version.empty() ? NewestVersion(db, result.typeCode) : version;
    std::transform(result.version.begin(), result.version.end(), result.version.begin(), ::toupper);

    // The same choice the program makes when it meets the device.
    SQLite::Statement node(db, "SELECT id, name FROM mb_node WHERE parentID=0 AND devid=?1 "
                               "AND (minversion='' OR minversion<=?2) "
                               "AND (maxversion='' OR maxversion>=?2) LIMIT 1");
    node.bind(1, result.typeCode);
    node.bind(2, result.version);
    if (!node.executeStep())
        throw std::runtime_error("no template for type " + result.typeCode + " version " +
                                 result.version + " in " + dbPath);
    result.nodeId = node.getColumn(0).getInt64();
    result.modelName = Unwrapped(node.getColumn(1).getString());

    SQLite::Statement rows(db, "SELECT p.* FROM mb_parameter AS p JOIN mb_node AS n "
                               "ON p.pid=n.id WHERE n.id=?1 OR n.parentID=?1 "
                               "ORDER BY n.parentID<>0, n.sorting, p.pid, p.sorting");
    rows.bind(1, result.nodeId);
    while (rows.executeStep())
        result.rows.push_back(ReadRow(rows));

    SQLite::Statement diag(db, "SELECT modreg, regcnt, type, offset, factor, live FROM mb_diag "
                               "WHERE devid=?1 AND (minversion='' OR minversion<=?2) "
                               "AND (maxversion='' OR maxversion>=?2) ORDER BY sorting");
    diag.bind(1, result.typeCode);
    diag.bind(2, result.version);
    while (diag.executeStep())
        result.diagRows.push_back({diag.getColumn(0).getInt(), diag.getColumn(1).getInt(),
                                   diag.getColumn(2).getString(), diag.getColumn(3).getString(),
                                   diag.getColumn(4).getString(), diag.getColumn(5).getString()});
    return result;
}
