#include "i18n/strings_modbusdiag.h"

PARSETTA_DEFINE_RESOURCE_UNIT(rs_modbusdiag, "modbusdiag", PARSETTA_RS_MODBUSDIAG)
