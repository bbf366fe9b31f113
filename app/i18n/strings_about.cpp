#include "i18n/strings_about.h"

PARSETTA_DEFINE_RESOURCE_UNIT(rs_about, "about", PARSETTA_RS_ABOUT)
