#include "db/user_schema.h"

#include <array>

namespace {

const std::array<TDbFields, 5> kSegmentFields = {{
    {"id", "INTEGER PRIMARY KEY"},
    {"pid", "int(10) NOT NULL default '0'"},
    {"sorting", "int(10) NOT NULL default '0'"},
    {"caption", "varchar(64) NOT NULL default ''"},
    {"tag", "varchar(16) NOT NULL default ''"},
}};

const std::array<TDbFields, 21> kNodeFields = {{
    {"id", "INTEGER PRIMARY KEY"},
    {"pid", "int(10) NOT NULL default '0'"},
    {"sorting", "int(10) NOT NULL default '0'"},
    {"title", "varchar(32) NOT NULL default ''"},
    {"parentID", "int(10) NOT NULL default '0'"},
    {"name", "varchar(32) NOT NULL default ''"},
    {"fullnameID", "int(10) NOT NULL default '0'"},
    {"devid", "varchar(4) NOT NULL default ''"},
    {"vendorID", "int(10) NOT NULL default '0'"},
    {"icon", "int(10) NOT NULL default '-1'"},
    {"icon_active", "int(10) NOT NULL default '-1'"},
    {"minversion", "varchar(4) NOT NULL default ''"},
    {"maxversion", "varchar(4) NOT NULL default ''"},
    {"online", "char(1) NOT NULL default ''"},
    {"addr", "int(3) NOT NULL default '0'"},
    {"rfid", "varchar(16) NOT NULL default ''"},
    {"tag", "varchar(16) NOT NULL default ''"},
    {"cond", "varchar(64) NOT NULL default ''"},
    {"vallist", "varchar(64) NOT NULL default ''"},
    {"load", "varchar(64) NOT NULL default ''"},
    {"collapse", "char(1) NOT NULL default ''"},
}};

const std::array<TDbFields, 19> kParameterFields = {{
    {"id", "INTEGER PRIMARY KEY"},
    {"pid", "int(10) NOT NULL default '0'"},
    {"sorting", "int(10) NOT NULL default '0'"},
    {"modreg", "int(10) NOT NULL default '0'"},
    {"regcnt", "int(10) NOT NULL default '1'"},
    {"access", "int(10) NOT NULL default '3'"},
    {"type", "varchar(16) NOT NULL default ''"},
    {"value", "varchar(24) NOT NULL default ''"},
    {"min", "varchar(8) NOT NULL default ''"},
    {"max", "varchar(8) NOT NULL default ''"},
    {"factory", "varchar(24) NOT NULL default ''"},
    {"textID", "int(10) NOT NULL default '0'"},
    {"copyto", "varchar(64) NOT NULL default ''"},
    {"refresh", "char(1) NOT NULL default ''"},
    {"block", "varchar(10) NOT NULL default '0'"},
    {"byteofs", "varchar(10) NOT NULL default '0'"},
    {"label", "varchar(16) NOT NULL default ''"},
    {"cond", "varchar(64) NOT NULL default ''"},
    {"vallist", "varchar(64) NOT NULL default ''"},
}};

} // namespace

std::span<const TDbFields> SegmentFields() {
    return kSegmentFields;
}
std::span<const TDbFields> NodeFields() {
    return kNodeFields;
}
std::span<const TDbFields> ParameterFields() {
    return kParameterFields;
}

const std::vector<TUserTable>& UserTables() {
    static const std::vector<TUserTable> tables = {
        {"mb_segment", kSegmentFields},
        {"mb_node", kNodeFields},
        {"mb_parameter", kParameterFields},
    };
    return tables;
}
