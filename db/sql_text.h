#pragma once

#include "db/user_schema.h"

#include <QString>
#include <QStringList>

// Every SQL text of the database layer is built here, one function per statement kind. Text
// values go through SqlQuote, which doubles each apostrophe, so no value can end its literal
// early and change the statement.

QString SqlQuote(const QString& text);

QString CreateTableStatement(const QString& table, std::span<const TDbFields> fields);
QString DropTableStatement(const QString& table);
QString AddColumnStatement(const QString& table, const TDbFields& field);
QString FirstSegmentRowStatement();

QString FirstSegmentQuery();
QString SegmentByIdQuery(int segmentId);
QString ParametersOfNodeQuery(int nodeId);

// One row of a multi-row parameter insert: the template row's values as text, in the column
// order of ParameterInsertStatement.
struct TParameterInsertRow {
    QString Sorting, Modreg, Regcnt, Access, Type, Value, Min, Max, Factory, TextId, Copyto,
        Refresh, Block, Byteofs, Label, Cond, Vallist;
};
QString ParameterInsertStatement(int targetNodeId, const std::vector<TParameterInsertRow>& rows);

// A number taken from a template as text, written bare; anything that is not a plain number
// becomes 0 so that it cannot carry SQL into the statement.
QString SqlNumber(const QString& text);
