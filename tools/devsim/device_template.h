#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the template database says about one device type at one firmware version: the rows of
// its template node and sub-nodes, and its diagnostic values.
struct TTemplateRow {
    int64_t nodeId = 0;
    int sorting = 0;
    int modreg = 0;
    int regcnt = 1;
    int access = 3;
    std::string type;
    std::string factory;
    std::string block = "0";
    std::string byteofs = "0";
    std::string label;
    std::string cond;
    std::string vallist;
};

struct TDiagRow {
    int modreg = 0;
    int regcnt = 1;
    std::string type;
    std::string offset;
    std::string factor;
    std::string live;
};

class TDeviceTemplate {
public:
    // Reads the template node that serves typeCode at version (four hexadecimal digits each);
    // an empty version picks the newest version the template knows. Throws std::runtime_error
    // when the database has no such type or version.
    static TDeviceTemplate Load(const std::string& dbPath, const std::string& typeCode,
                                const std::string& version);

    const std::string& TypeCode() const { return typeCode; }
    const std::string& Version() const { return version; }
    int64_t NodeId() const { return nodeId; }
    // The model designation: the template node's name with its brand tags unwrapped.
    const std::string& ModelName() const { return modelName; }
    const std::vector<TTemplateRow>& Rows() const { return rows; }
    const std::vector<TDiagRow>& DiagRows() const { return diagRows; }

private:
    std::string typeCode;
    std::string version;
    int64_t nodeId = 0;
    std::string modelName;
    std::vector<TTemplateRow> rows;
    std::vector<TDiagRow> diagRows;
};
