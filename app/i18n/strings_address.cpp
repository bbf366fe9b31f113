#include "i18n/strings_address.h"

PARSETTA_DEFINE_RESOURCE_UNIT(rs_address, "address", PARSETTA_RS_ADDRESS)
