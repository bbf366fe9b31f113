#pragma once

#include "db/database_set.h"

#include <vector>

// The device node followed by its sub-nodes in tree order, read with the tree's own query (so
// a device of another segment than the one shown is still read or written with its own nodes).
std::vector<int> DeviceNodeList(TDatabaseSet& db, int deviceId, int segmentId);
