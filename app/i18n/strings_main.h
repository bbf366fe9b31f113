#pragma once

#include "i18n/resource_string.h"

// Resource strings of the main window (unit "main"): name and German source text.
// clang-format off
#define PARSETTA_RS_MAIN(X) \
    X(rserstadrfreim, "erst Adr %s freimachen") \
    X(rskeine, "keine") \
    X(rsmodbusadress, "Modbus-Adresse") \
    X(rsmessstelleta, "Messstelle") \
    X(rsrfidkennungr, "RFID-Kennung") \
    X(rsversion, "Version") \
    X(rsdatei, "Datei") \
    X(rsffnen, "Oeffnen ...") \
    X(rsspeichern, "Speichern") \
    X(rsdrucken, "Drucken ...") \
    X(rsexportalspdf, "Export als PDF") \
    X(rsdatensicheru, "Datensicherung") \
    X(rsrcksicherung, "Ruecksicherung") \
    X(rsbeenden, "Beenden") \
    X(rsdiagnose, "Diagnose") \
    X(rsgertediagnos, "Geraetediagnose") \
    X(rsmodbusdiagno, "Modbus Diagnose") \
    X(rseinstellunge, "Einstellungen") \
    X(rsdeutsch, "Deutsch") \
    X(rsenglish, "English") \
    X(rsfranais, "Francais") \
    X(rskommunikatio, "Kommunikation ...") \
    X(rshilfe, "Hilfe") \
    X(rsonlinehilfe, "Online-Hilfe") \
    X(rswebsite, "Website") \
    X(rsnachupdatess, "Nach Updates suchen") \
    X(rsberparsetta, "Ueber Parsetta") \
    X(rsaddnode, "AddNode") \
    X(rsdelnode, "DelNode") \
    X(rsreadfromdevi, "ReadFromDevice") \
    X(rswritetodevic, "WriteToDevice") \
    X(rscancel, "Cancel") \
    X(rsrestoreerset, "Restore ersetzt die komplette Konfiguration!") \
    X(rsdeleteentry, "Delete Entry") \
    X(rsreaddevice, "Read Device") \
    X(rsgeraetetypst, "Geraetetyp stimmt nicht mit dem angeschlossenen Geraet ueberein!") \
    X(rsderdatensatz, "Der Datensatz stammt von einem anderen Geraet. Datensatz trotzdem in das selektierte Geraet uebertragen?") \
    X(rsselektiertes, "Selektiertes Geraet nicht in der Datenbank gefunden!") \
    X(rswritedevice, "Write Device") \
    X(rsnodevicefoun, "No device found!") \
    X(rsdevicetype, "Geraetetyp") \
    X(rsdevice, "Device") \
    X(rskeinpcmode, "kein PC-Mode!") \
    X(rschangeaddres, "Change address") \
    X(rsadressnderun, "Adressänderung fehlgeschlagen") \
    X(rsparameter, "Parameter") \
    X(rswert, "Wert") \
    X(rsmodbusmanual, "Modbus Manual") \
    X(rsdatensicheru2, "Datensicherung fehlgeschlagen: %s") \
    X(rsdiedateiistk, "Die Datei ist keine Benutzerdatenbank: %s") \
    X(rsinderdateife, "In der Datei fehlen die Tabellen: %s") \
    X(rsrcksicherung2, "Ruecksicherung fehlgeschlagen: %s") \
    X(rsdiesicherung, "Die Sicherung darf nicht die geoeffnete Datenbank ueberschreiben.")
// clang-format on

PARSETTA_DECLARE_RESOURCE_UNIT(rs_main, PARSETTA_RS_MAIN)
