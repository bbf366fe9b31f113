#include "db/segment_tree.h"

#include "db/sql_text.h"

std::optional<TSegmentRow> ReadSegment(TDatabaseSet& db, int segmentId) {
    TDbQuery& q = db.SQLQuery1;
    q.Open(SegmentByIdQuery(segmentId), 12);
    std::optional<TSegmentRow> row;
    if (!q.Eof()) {
        row = TSegmentRow{q.FieldAsInteger(QStringLiteral("id")),
                          q.FieldAsString(QStringLiteral("caption")),
                          q.FieldAsString(QStringLiteral("tag"))};
    }
    q.Close();
    return row;
}
