#pragma once

#include <QString>
#include <span>
#include <vector>

// One column of a user table: its name and its SQL definition.
struct TDbFields {
    const char* Name;
    const char* Definition;
};

struct TUserTable {
    const char* Name;
    std::span<const TDbFields> Fields;
};

// The column arrays of the user database. The same arrays create a new file and upgrade an old
// one, so their order is the column order of a new file.
std::span<const TDbFields> SegmentFields();
std::span<const TDbFields> NodeFields();
std::span<const TDbFields> ParameterFields();

// mb_segment, mb_node, mb_parameter in this order.
const std::vector<TUserTable>& UserTables();
