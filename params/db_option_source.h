#pragma once

#include "params/option_list_table.h"
#include "params/parameter_row.h"

class TDbQuery;

// The parameter model over the program's database queries: option lists and option lookups
// from the template database, parameter rows from either database. The query is used the way
// the query convention says (close, set the text, trace, open, read by column name).

// Reads "SELECT * FROM mb_select" and each list's options for TOptionListTable::Load.
class TDbOptionListSource : public TOptionListSource {
public:
    explicit TDbOptionListSource(TDbQuery& query) : Query_(query) {}
    std::vector<TSelectRow> SelectRows() override;
    std::vector<TOptionRow> OptionRows(int32_t selectId) override;

private:
    TDbQuery& Query_;
};

// Looks an option up with OptionDisplayQuery, traced with the caller's number (the grid: 17).
class TDbOptionCatalog : public TOptionCatalog {
public:
    TDbOptionCatalog(TDbQuery& query, int traceNumber) : Query_(query), Trace_(traceNumber) {}
    std::optional<TOptionRow> FindOption(std::string_view title, int32_t value) override;

private:
    TDbQuery& Query_;
    int Trace_;
};

// The current row of a query on mb_parameter (or mb_diag): columns the query lacks keep their
// defaults, numbers that are no integers read as 0.
TParameterRow ParameterRowOf(const TDbQuery& query);
