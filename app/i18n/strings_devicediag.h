#pragma once

#include "i18n/resource_string.h"

// Resource strings of the device diagnostics window (unit "devicediag"): name and German source
// text.
// clang-format off
#define PARSETTA_RS_DEVICEDIAG(X) \
    X(rsgeraetediagn, "Geraetediagnose") \
    X(rsfirmware, "Firmware") \
    X(rsmessstellenn, "Messstellennummer") \
    X(rsschliessen, "Schliessen") \
    X(rsnodevicefoun, "No device found!") \
    X(rsdiagnosefunk, "Diagnosefunktionen im Geraet nicht verfuegbar!")
// clang-format on

PARSETTA_DECLARE_RESOURCE_UNIT(rs_devicediag, PARSETTA_RS_DEVICEDIAG)
