#include "params/db_option_source.h"

#include "params/option_display_text.h"

#include "db/db_query.h"

namespace {

std::string Text(const TDbQuery& query, const char* name) {
    return query.FieldAsString(QString::fromLatin1(name)).toStdString();
}

int Number(const TDbQuery& query, const char* name) {
    return query.FieldAsInteger(QString::fromLatin1(name));
}

void ReadText(const TDbQuery& query, const QStringList& fields, const char* name,
              std::string& target) {
    if (fields.contains(QString::fromLatin1(name), Qt::CaseInsensitive))
        target = Text(query, name);
}

void ReadNumber(const TDbQuery& query, const QStringList& fields, const char* name, int& target) {
    if (fields.contains(QString::fromLatin1(name), Qt::CaseInsensitive))
        target = Number(query, name);
}

} // namespace

std::vector<TSelectRow> TDbOptionListSource::SelectRows() {
    std::vector<TSelectRow> rows;
    Query_.SetSQL(QString::fromStdString(OptionListSelectQuery()));
    Query_.Open();
    for (; !Query_.Eof(); Query_.Next()) {
        rows.push_back({Number(Query_, "id"), Text(Query_, "title"), Text(Query_, "type"),
                        Text(Query_, "multiple")});
    }
    Query_.Close();
    return rows;
}

std::vector<TOptionRow> TDbOptionListSource::OptionRows(int32_t selectId) {
    std::vector<TOptionRow> rows;
    Query_.SetSQL(QString::fromStdString(OptionListOptionsQuery(selectId)));
    Query_.Open();
    for (; !Query_.Eof(); Query_.Next()) {
        rows.push_back({Number(Query_, "value"), Number(Query_, "sorting"),
                        Number(Query_, "textID"), Number(Query_, "symbol"),
                        Text(Query_, "selected")});
    }
    Query_.Close();
    return rows;
}

std::optional<TOptionRow> TDbOptionCatalog::FindOption(std::string_view title, int32_t value) {
    Query_.Open(QString::fromStdString(OptionDisplayQuery(title, value)), Trace_);
    std::optional<TOptionRow> option;
    if (!Query_.Eof())
        option = TOptionRow{value, 0, Number(Query_, "textID"), Number(Query_, "symbol"), ""};
    Query_.Close();
    return option;
}

TParameterRow ParameterRowOf(const TDbQuery& query) {
    const QStringList fields = query.FieldNames();
    TParameterRow row;
    ReadNumber(query, fields, "id", row.id);
    ReadNumber(query, fields, "pid", row.pid);
    ReadNumber(query, fields, "sorting", row.sorting);
    ReadNumber(query, fields, "modreg", row.modreg);
    ReadNumber(query, fields, "regcnt", row.regcnt);
    ReadNumber(query, fields, "access", row.access);
    ReadText(query, fields, "type", row.type);
    ReadText(query, fields, "value", row.value);
    ReadText(query, fields, "min", row.min);
    ReadText(query, fields, "max", row.max);
    ReadText(query, fields, "factory", row.factory);
    ReadNumber(query, fields, "textID", row.textID);
    ReadText(query, fields, "copyto", row.copyto);
    ReadText(query, fields, "refresh", row.refresh);
    ReadText(query, fields, "block", row.block);
    ReadText(query, fields, "byteofs", row.byteofs);
    ReadText(query, fields, "label", row.label);
    ReadText(query, fields, "cond", row.cond);
    ReadText(query, fields, "vallist", row.vallist);
    return row;
}
