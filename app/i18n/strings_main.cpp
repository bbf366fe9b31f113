#include "i18n/strings_main.h"

PARSETTA_DEFINE_RESOURCE_UNIT(rs_main, "main", PARSETTA_RS_MAIN)
