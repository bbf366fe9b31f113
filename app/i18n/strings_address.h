#pragma once

#include "i18n/resource_string.h"

// Resource strings of the address dialog (unit "address"): name and German source text.
// clang-format off
#define PARSETTA_RS_ADDRESS(X) \
    X(rsselectaddres, "Select Address") \
    X(rsnewmodbusadd, "New Modbus address") \
    X(rsok, "OK") \
    X(rscancel, "Cancel")
// clang-format on

PARSETTA_DECLARE_RESOURCE_UNIT(rs_address, PARSETTA_RS_ADDRESS)
