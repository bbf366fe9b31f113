#include "devcomm/device_node_list.h"

#include "db/node_sql.h"

std::vector<int> DeviceNodeList(TDatabaseSet& db, int deviceId, int segmentId) {
    std::vector<int> ids{deviceId};
    TDbQuery& q = db.SQLQuery2;
    q.Open(SubNodesOfDeviceQuery(segmentId, deviceId), 14);
    for (; !q.Eof(); q.Next())
        ids.push_back(q.FieldAsInteger(QStringLiteral("id")));
    q.Close();
    return ids;
}
