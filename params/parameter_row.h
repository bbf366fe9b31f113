#pragma once

#include <string>

// One row of mb_parameter (or of mb_diag, which shares the register columns) as plain values.
// Texts are kept exactly as the database holds them; every rule that reads a column as a number
// converts it where it needs it, so no text in these columns can break the row itself.
struct TParameterRow {
    int id = 0;
    int pid = 0;
    int sorting = 0;
    int modreg = 0;
    int regcnt = 1;
    int access = 3;
    std::string type;
    std::string value;
    std::string min;
    std::string max;
    std::string factory;
    int textID = 0;
    std::string copyto;
    std::string refresh;
    std::string block = "0";
    std::string byteofs = "0";
    std::string label;
    std::string cond;
    std::string vallist;
};
