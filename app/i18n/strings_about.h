#pragma once

#include "i18n/resource_string.h"

// Resource strings of the about box (unit "about"): name and German source text.
// clang-format off
#define PARSETTA_RS_ABOUT(X) \
    X(rscbstartinfo, "Diese Info beim Start zeigen") \
    X(rscloseinfo, "Close info")
// clang-format on

PARSETTA_DECLARE_RESOURCE_UNIT(rs_about, PARSETTA_RS_ABOUT)
