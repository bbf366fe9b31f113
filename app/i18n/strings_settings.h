#pragma once

#include "i18n/resource_string.h"

// Resource strings of the communication settings dialog (unit "settings"): name and German source
// text.
// clang-format off
#define PARSETTA_RS_SETTINGS(X) \
    X(rscommunicatio, "Communication Settings") \
    X(rsprotocol, "Protocol") \
    X(rsdevice, "Device") \
    X(rsmodbusrtu, "Modbus RTU") \
    X(rsmodbustcp, "Modbus TCP") \
    X(rshostipaddres, "Host IP address") \
    X(rshostportnumb, "Host port number") \
    X(rsserialport, "Serial port") \
    X(rsbaudrate, "Baud rate") \
    X(rsparitystopbi, "Parity / Stop bits") \
    X(rstimeout, "Timeout") \
    X(rsok, "OK") \
    X(rscancel, "Cancel") \
    X(rsparityeven1s, "Parity Even / 1 Stop bit,Parity Odd / 1 Stop bit," \
                      "Parity None / 2 Stop bits,Parity None 7 1 Stop bit")
// clang-format on

PARSETTA_DECLARE_RESOURCE_UNIT(rs_settings, PARSETTA_RS_SETTINGS)
