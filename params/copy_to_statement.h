#pragma once

#include <optional>
#include <string>
#include <string_view>

// The statement that copies a parameter value to the column its copyto text names:
//   "mb_segment.col"        the segment shown (segmentId)
//   "mb_node.col"           the parameter's node (nodeId)
//   "mb_node.ref.col"       the node that the parameter's node names in its column ref
// Any other target, or a column part that is no plain column name, gives no statement. The
// value goes in as a literal (a number or a quoted text); anything else is quoted first.
std::optional<std::string> CopyToStatement(std::string_view copyto, std::string_view valueLiteral,
                                           int nodeId, int segmentId);

// The program log line written before the statement: "UPDATE mb_segment" or "UPDATE mb_node";
// empty when the copyto text makes no statement.
std::string CopyToLogLine(std::string_view copyto);
