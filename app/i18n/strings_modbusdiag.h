#pragma once

#include "i18n/resource_string.h"

// Resource strings of the Modbus diagnostics window (unit "modbusdiag"): name and German source
// text.
// clang-format off
#define PARSETTA_RS_MODBUSDIAG(X) \
    X(rsmodbusdiagno, "Modbus-Diagnose") \
    X(rsmodbuseinste, "Modbus-Einstellungen") \
    X(rsadressmap, "Adress-Map") \
    X(rstelegramme, "Telegramme") \
    X(rsgesamteteleg, "Gesamte Telegramme") \
    X(rsfehler, "Fehler") \
    X(rsadresse, "Adresse") \
    X(rsbaud, "Baud") \
    X(rsparityeven, "ParityEven") \
    X(rsparityodd, "ParityOdd") \
    X(rsparitynone, "ParityNone") \
    X(rsstoppbits1, "Stoppbits1") \
    X(rsstoppbits2, "Stoppbits2") \
    X(rsresponsedela, "Responsedelay") \
    X(rsschliessen, "Schliessen") \
    X(rsnodevicefoun, "No device found!") \
    X(rsdiagnosefunk, "Diagnosefunktionen im Geraet nicht verfuegbar!")
// clang-format on

PARSETTA_DECLARE_RESOURCE_UNIT(rs_modbusdiag, PARSETTA_RS_MODBUSDIAG)
