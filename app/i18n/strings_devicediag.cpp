#include "i18n/strings_devicediag.h"

PARSETTA_DEFINE_RESOURCE_UNIT(rs_devicediag, "devicediag", PARSETTA_RS_DEVICEDIAG)
