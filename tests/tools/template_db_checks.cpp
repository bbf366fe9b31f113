#include "template_db_checks.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace TemplateDbChecks {
namespace {

std::vector<std::string> Column(SQLite::Database& db, const std::string& sql) {
    std::vector<std::string> values;
    SQLite::Statement query(db, sql);
    while (query.executeStep())
        values.push_back(query.getColumn(0).getString());
    return values;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), ::tolower);
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

bool ParsePair(const std::string& text, int& first, int& second) {
    static const std::regex pair("^(-?[0-9]+):([0-9]+)$");
    std::smatch match;
    if (!std::regex_match(text, match, pair))
        return false;
    first = std::stoi(match[1]);
    second = std::stoi(match[2]);
    return true;
}

bool IsOptionList(const std::string& type) {
    return type.rfind("SELECT_", 0) == 0 || type.rfind("BINARY_", 0) == 0;
}

// Stream bytes the type needs; 0 for a type the parameter model does not decode.
int Width(const std::string& type, int byteCount) {
    static const std::map<std::string, int> widths = {
        {"INT16", 2}, {"UINT16", 2},   {"INT32", 4},   {"UINT32", 4},
        {"FLOAT", 4}, {"ASCII16", 16}, {"ASCII24", 24}};
    if (IsOptionList(type))
        return byteCount == 1 ? 1 : 2;
    const auto it = widths.find(type);
    return it == widths.end() ? 0 : it->second;
}

struct TRow {
    int64_t id;
    int64_t pid;
    int modreg;
    int regcnt;
    std::string type;
    std::string block;
    std::string byteofs;
    std::string label;
    std::string cond;
};

std::vector<TRow> ParameterRows(SQLite::Database& db) {
    std::vector<TRow> rows;
    SQLite::Statement query(db, "SELECT id, pid, modreg, regcnt, type, block, byteofs, label, "
                                "cond FROM mb_parameter ORDER BY pid, sorting");
    while (query.executeStep())
        rows.push_back({query.getColumn(0).getInt64(), query.getColumn(1).getInt64(),
                        query.getColumn(2).getInt(), query.getColumn(3).getInt(),
                        query.getColumn(4).getString(), query.getColumn(5).getString(),
                        query.getColumn(6).getString(), query.getColumn(7).getString(),
                        query.getColumn(8).getString()});
    return rows;
}

std::string Where(const TRow& row) {
    return "parameter " + std::to_string(row.id) + " (node " + std::to_string(row.pid) +
           ", register " + std::to_string(row.modreg) + ")";
}

void CheckBlockRow(const TRow& row, TProblems& problems) {
    int start = 0;
    int bytes = 0;
    int offset = 0;
    int count = 0;
    if (!ParsePair(row.block, start, bytes) || !ParsePair(row.byteofs, offset, count)) {
        problems.push_back(Where(row) + ": malformed block " + row.block + " / " + row.byteofs);
        return;
    }
    if (offset < 0 || count < 1 || offset + count > bytes)
        problems.push_back(Where(row) + ": bytes " + row.byteofs + " outside block " + row.block);
    if (row.modreg != start + offset / 2)
        problems.push_back(Where(row) + ": modreg is not the register of byte " +
                           std::to_string(offset) + " of block " + row.block);
    const int width = Width(row.type, count);
    if (width > 0 && width != count)
        problems.push_back(Where(row) + ": " + row.type + " needs " + std::to_string(width) +
                           " bytes, not " + std::to_string(count));
}

} // namespace

TProblems TextsComplete(SQLite::Database& db) {
    TProblems problems;
    const auto missing = Column(
        db, "SELECT u.src || ' uses text ' || u.tid FROM ("
            "SELECT 'mb_node ' || id AS src, fullnameID AS tid FROM mb_node UNION ALL "
            "SELECT 'mb_parameter ' || id, textID FROM mb_parameter UNION ALL "
            "SELECT 'mb_option ' || id, textID FROM mb_option UNION ALL "
            "SELECT 'mb_diag ' || id, textID FROM mb_diag) AS u "
            "LEFT JOIN mb_text AS t ON t.id=u.tid "
            "WHERE t.id IS NULL OR trim(t.txt_de)='' OR trim(t.txt_en)='' OR trim(t.txt_fr)=''");
    for (const std::string& line : missing)
        problems.push_back(line + ", which lacks a language");
    return problems;
}

TProblems OptionListsDefined(SQLite::Database& db) {
    TProblems problems;
    const auto lists = Column(
        db, "SELECT DISTINCT type FROM (SELECT type FROM mb_parameter UNION ALL "
            "SELECT type FROM mb_diag) WHERE substr(type,1,7) IN ('SELECT_','BINARY_') AND "
            "type NOT IN (SELECT s.title FROM mb_select AS s JOIN mb_option AS o ON o.pid=s.id)");
    for (const std::string& type : lists)
        problems.push_back("option list " + type + " has no mb_select row with options");
    for (const std::string& line :
         Column(db, "SELECT 'option ' || id || ' belongs to no list' FROM mb_option "
                    "WHERE pid NOT IN (SELECT id FROM mb_select)"))
        problems.push_back(line);
    return problems;
}

TProblems RowsFitTheirRegisters(SQLite::Database& db) {
    TProblems problems;
    for (const TRow& row : ParameterRows(db)) {
        if (row.block != "0") {
            CheckBlockRow(row, problems);
            continue;
        }
        if (row.byteofs != "0")
            problems.push_back(Where(row) + ": byte offset without a block");
        const int width = Width(row.type, row.regcnt * 2);
        if (row.regcnt < 1 || row.regcnt * 2 < width)
            problems.push_back(Where(row) + ": " + std::to_string(row.regcnt) +
                               " registers are too few for " + row.type);
        if (row.pid != 0 && row.modreg <= 40000)
            problems.push_back(Where(row) + ": device row without a holding register");
    }
    return problems;
}

TProblems FactoryValuesWithinLimits(SQLite::Database& db) {
    static const std::regex integer("^-?[0-9]+$");
    static const std::regex decimal("^-?[0-9]+([.,][0-9]+)?$");
    static const std::set<std::string> integerTypes = {"INT16", "UINT16", "INT32", "UINT32"};
    const auto number = [](std::string text) {
        std::replace(text.begin(), text.end(), ',', '.');
        return std::stod(text);
    };
    TProblems problems;
    SQLite::Statement rows(db, "SELECT id, type, min, max, factory, label, access & 2 "
                               "FROM mb_parameter WHERE pid<>0");
    while (rows.executeStep()) {
        const std::string where = "parameter " + rows.getColumn(0).getString();
        const std::string type = rows.getColumn(1).getString();
        const std::string min = rows.getColumn(2).getString();
        const std::string max = rows.getColumn(3).getString();
        const std::string factory = rows.getColumn(4).getString();
        const bool labelled = !rows.getColumn(5).getString().empty();
        if (labelled && !std::regex_match(factory, integer))
            problems.push_back(where + ": label row with factory value '" + factory + "'");
        const bool editable = rows.getColumn(6).getInt() != 0;
        if (integerTypes.contains(type) && (!min.empty() || !max.empty() || labelled || editable)) {
            if (!std::regex_match(min, integer) || !std::regex_match(max, integer) ||
                !std::regex_match(factory, integer) || number(factory) < number(min) ||
                number(factory) > number(max))
                problems.push_back(where + ": " + type + " factory " + factory + " outside [" +
                                   min + ", " + max + "]");
        } else if (type == "FLOAT") {
            const bool bad = !std::regex_match(factory, decimal) ||
                             (!min.empty() &&
                              (!std::regex_match(min, decimal) || number(factory) < number(min))) ||
                             (!max.empty() &&
                              (!std::regex_match(max, decimal) || number(factory) > number(max)));
            if (bad)
                problems.push_back(where + ": FLOAT factory " + factory + " outside [" + min +
                                   ", " + max + "]");
        }
    }
    return problems;
}

TProblems LabelsAndConditions(SQLite::Database& db) {
    TProblems problems;
    std::map<int64_t, std::set<std::string>> labels;
    const auto rows = ParameterRows(db);
    for (const TRow& row : rows)
        if (!row.label.empty())
            labels[row.pid].insert(Lower(row.label));
    for (const auto& [node, names] : labels)
        if (names.size() > 16)
            problems.push_back("node " + std::to_string(node) + " defines " +
                               std::to_string(names.size()) + " labels");
    for (const TRow& row : rows)
        if (!row.cond.empty() && !labels[row.pid].contains(Lower(row.cond)))
            problems.push_back(Where(row) + ": condition on " + row.cond +
                               ", which its node does not define");
    return problems;
}

TProblems CopyToTargetsExist(SQLite::Database& db) {
    TProblems problems;
    const std::set<std::string> segmentColumns = {"id", "pid", "sorting", "caption", "tag"};
    std::set<std::string> nodeColumns;
    SQLite::Statement info(db, "PRAGMA table_info(mb_node)");
    while (info.executeStep())
        nodeColumns.insert(info.getColumn("name").getString());
    SQLite::Statement rows(db, "SELECT id, copyto FROM mb_parameter WHERE trim(copyto)<>''");
    while (rows.executeStep()) {
        const std::string copyto = rows.getColumn(1).getString();
        const auto parts = Split(copyto, '.');
        bool valid = false;
        if (parts.size() == 2 && parts[0] == "mb_segment")
            valid = segmentColumns.contains(parts[1]);
        else if (parts.size() == 2 && parts[0] == "mb_node")
            valid = nodeColumns.contains(parts[1]);
        else if (parts.size() == 3 && parts[0] == "mb_node")
            valid = nodeColumns.contains(parts[1]) && nodeColumns.contains(parts[2]);
        if (!valid)
            problems.push_back("parameter " + rows.getColumn(0).getString() + ": copy-to target " +
                               copyto + " is no column");
    }
    return problems;
}

TProblems WiringRulesValid(SQLite::Database& db) {
    static const std::set<std::string> pictures = {
        "DEVICE_GN",    "DEVICE_GR",      "DEVICE_SW",    "IN1_CONTACT_L", "IN1_CONTACT_SN_L",
        "IN1_LOGIC_L",  "IN1_LOGIC_TX_L", "IN1_MA_L",     "IN1_MA_TX_L",   "IN1_NAMUR_L",
        "IN1_NPN_L",    "IN1_PNP_L",      "IN1_POTI3_L",  "IN1_POTI4_L",   "IN1_RTD2_L",
        "IN1_RTD3_L",   "IN1_RTD4_L",     "IN1_S0_L",     "IN1_SHUNT_L",   "IN1_SN_L",
        "IN1_TC_L",     "IN1_TC_PT2_L",   "IN1_TC_PT3_L", "IN1_TX_L",      "IN1_V_L",
        "IN1_V_TX_L",   "IN1_WID2_L",     "IN1_WID3_L",   "IN1_WID4_L",    "IN4_AC_L",
        "IN4_AC_R",     "IN4_CNT_L",      "IN4_CNT_R",    "IN4_FRQ_L",     "IN4_FRQ_R",
        "IN4_LOGIC_L",  "IN4_LOGIC_R",    "IN4_MA-_L",    "IN4_MA-_R",     "IN4_MA_L",
        "IN4_MA_R",     "IN4_V_L",        "IN4_V_R",      "OUT4_FRQ_L",    "OUT4_FRQ_R",
        "OUT4_LOGIC_L", "OUT4_LOGIC_R",   "OUT4_PULSE_L", "OUT4_PULSE_R",  "OUT4_PWM_L",
        "OUT4_PWM_R",   "OUT4_RELAY_L",   "OUT4_RELAY_R", "OUT4_SCHALT_L", "OUT4_SCHALT_R",
        "OUT4_SPG_R",   "OUT4_STROM_R",   "INRAIL",       "TRENNLINIE",    "POWER",
        "MODBUS"};
    TProblems problems;
    std::map<std::string, std::set<int>> loads;
    SQLite::Statement nodes(db, "SELECT devid, load FROM mb_node WHERE parentID=0");
    while (nodes.executeStep())
        for (const std::string& reg : Split(nodes.getColumn(1).getString(), ','))
            loads[nodes.getColumn(0).getString()].insert(std::atoi(reg.c_str()));
    SQLite::Statement rules(db, "SELECT id, devid, pos, png, modreg1, modreg2, modreg3 "
                                "FROM mb_png");
    while (rules.executeStep()) {
        const std::string where = "wiring rule " + rules.getColumn(0).getString();
        const int pos = rules.getColumn(2).getInt();
        if (pos < 0 || pos > 8)
            problems.push_back(where + ": place " + std::to_string(pos));
        if (!pictures.contains(rules.getColumn(3).getString()))
            problems.push_back(where + ": unknown picture " + rules.getColumn(3).getString());
        for (int i = 4; i <= 6; ++i) {
            const int reg = rules.getColumn(i).getInt();
            if (reg > 40000 && !loads[rules.getColumn(1).getString()].contains(reg))
                problems.push_back(where + ": register " + std::to_string(reg) +
                                   " is not in the load list of its devices");
        }
    }
    return problems;
}

TProblems DiagFormatsValid(SQLite::Database& db) {
    // A directive: %, flags, width, precision, then a conversion; %% is a plain percent sign.
    static const std::regex directive("%([-+ #0]*[0-9]*(\\.[0-9]+)?)([a-zA-Z%])");
    TProblems problems;
    SQLite::Statement rows(db, "SELECT id, format FROM mb_diag");
    while (rows.executeStep()) {
        const std::string format = rows.getColumn(1).getString();
        int floating = 0;
        int other = 0;
        for (std::sregex_iterator it(format.begin(), format.end(), directive), end; it != end;
             ++it) {
            const std::string conversion = (*it)[3];
            if (conversion == "%")
                continue;
            (std::string("fFeEgG").find(conversion) != std::string::npos ? floating : other)++;
        }
        if (floating != 1 || other != 0)
            problems.push_back("diagnostic " + rows.getColumn(0).getString() + ": format \"" +
                               format + "\" needs exactly one floating-point directive");
    }
    return problems;
}

TProblems BrandDevicesExist(SQLite::Database& db) {
    TProblems problems;
    for (const char* list : {"39,14,34,42,13,1,8", "39,34,42,13,1,8"}) {
        for (const std::string& id : Split(list, ',')) {
            SQLite::Statement node(db, "SELECT (SELECT count(*) FROM mb_node WHERE parentID=n.id)"
                                       " FROM mb_node AS n WHERE n.id=? AND n.parentID=0");
            node.bind(1, std::stoi(id));
            if (!node.executeStep())
                problems.push_back("brand list id " + id + " is no device node");
            else if (node.getColumn(0).getInt() < 2 || node.getColumn(0).getInt() > 8)
                problems.push_back("device node " + id + " has " + node.getColumn(0).getString() +
                                   " sub-nodes");
        }
    }
    return problems;
}

TProblems DeviceNodesComplete(SQLite::Database& db) {
    TProblems problems;
    const std::vector<std::pair<std::string, std::string>> required = {
        {"p.pid=n.id AND p.modreg=45010 AND p.type='UINT16' AND p.copyto='mb_node.addr'",
         "address row"},
        {"p.pid=n.id AND p.modreg=45151 AND p.type='ASCII16' AND p.copyto='mb_node.tag'",
         "measuring-point row"},
        {"p.pid IN (SELECT id FROM mb_node WHERE parentID=n.id) AND p.modreg=43003 AND "
         "p.type='ASCII24' AND p.copyto='mb_node.parentID.rfid'",
         "identification row"}};
    for (const auto& [condition, what] : required)
        for (const std::string& id :
             Column(db, "SELECT n.id FROM mb_node AS n WHERE n.parentID=0 AND NOT EXISTS "
                        "(SELECT 1 FROM mb_parameter AS p WHERE " +
                            condition + ")"))
            problems.push_back("device node " + id + " lacks its " + what);
    return problems;
}

TProblems CopiedTextsSafe(SQLite::Database& db) {
    TProblems problems;
    for (const std::string& line : Column(
             db, "SELECT 'node ' || id FROM mb_node WHERE instr(title || name || cond || vallist "
                 "|| load, '''')>0 UNION ALL SELECT 'parameter ' || id FROM mb_parameter WHERE "
                 "instr(type || value || min || max || factory || copyto || label || cond || "
                 "vallist, '''')>0"))
        problems.push_back(line + " holds an apostrophe");
    for (const std::string& line :
         Column(db, "SELECT 'parameter ' || id || ' type ' || type FROM mb_parameter "
                    "WHERE length(type)>16 OR length(min)>8 OR length(max)>8 "
                    "OR length(factory)>24"))
        problems.push_back(line + ": a value longer than its column");
    return problems;
}

} // namespace TemplateDbChecks
