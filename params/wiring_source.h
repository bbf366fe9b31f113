#pragma once

#include "params/wiring_rules.h"

#include <string>
#include <vector>

class TDbQuery;

// What the wiring view of one device reads from the databases: the device's type code and load
// list (user database, trace 18), its parameter rows for the load registers (trace 19) and the
// rules of its type (template database, trace 20).
struct TWiringInput {
    std::string Devid;
    std::string Load;
    std::vector<TParameterRow> Rows;
    std::vector<TPngRule> Rules;
};

TWiringInput ReadWiringInput(TDbQuery& user, TDbQuery& templates, int deviceId);
