#pragma once

#include "db/database_set.h"

#include <QString>
#include <optional>

// The root level of the node tree: the segment row an item of the tree stands for.
struct TSegmentRow {
    int Id = 0;
    QString Caption;
    QString Tag;
};

// Reads the segment with the given id through the general user query, or nothing when the
// database has no such segment.
std::optional<TSegmentRow> ReadSegment(TDatabaseSet& db, int segmentId);
