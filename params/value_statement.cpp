#include "params/value_statement.h"

#include "params/sql_text.h"

std::string ResultLiteral(const TArrResult& result) {
    return result.Status == 0 ? result.Text : QuoteSqlText(result.Text);
}

std::string ParameterValueStatement(int id, std::string_view value) {
    return "UPDATE mb_parameter SET value=" + QuoteSqlText(value) +
           " WHERE id=" + std::to_string(id);
}
