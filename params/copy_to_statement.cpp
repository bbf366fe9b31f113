#include "params/copy_to_statement.h"

#include "params/sql_text.h"
#include "params/text_util.h"

#include <cctype>
#include <vector>

namespace {

std::vector<std::string> SplitDotted(std::string_view text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t dot = text.find('.', start);
        parts.push_back(TrimText(text.substr(start, dot - start)));
        if (dot == std::string_view::npos)
            return parts;
        start = dot + 1;
    }
}

// Column names go into the statement bare, so only plain names are accepted.
bool IsColumnName(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front())))
        return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    }
    return true;
}

} // namespace

std::optional<std::string> CopyToStatement(std::string_view copyto, std::string_view valueLiteral,
                                           int nodeId, int segmentId) {
    const std::vector<std::string> parts = SplitDotted(copyto);
    if (parts.size() < 2)
        return std::nullopt;
    const std::string value = AsSqlLiteral(valueLiteral);
    const std::string& table = parts[0];
    if (table == "mb_segment" && IsColumnName(parts[1]))
        return "UPDATE mb_segment SET " + parts[1] + "=" + value +
               " WHERE id=" + std::to_string(segmentId);
    if (table != "mb_node")
        return std::nullopt;
    if (parts.size() == 2 && IsColumnName(parts[1]))
        return "UPDATE mb_node SET " + parts[1] + "=" + value +
               " WHERE id=" + std::to_string(nodeId);
    if (parts.size() >= 3 && IsColumnName(parts[1]) && IsColumnName(parts[2]))
        return "UPDATE mb_node SET " + parts[2] + "=" + value + " WHERE id=(SELECT " + parts[1] +
               " FROM mb_node WHERE id=" + std::to_string(nodeId) + ")";
    return std::nullopt;
}

std::string CopyToLogLine(std::string_view copyto) {
    const std::vector<std::string> parts = SplitDotted(copyto);
    if (!CopyToStatement(copyto, "0", 0, 0))
        return {};
    return "UPDATE " + parts[0];
}
