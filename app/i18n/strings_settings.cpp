#include "i18n/strings_settings.h"

PARSETTA_DEFINE_RESOURCE_UNIT(rs_settings, "settings", PARSETTA_RS_SETTINGS)
