#pragma once

#include <QString>

// The user-visible texts of the device passes. The defaults are the source texts; the
// application replaces them with the translated resource strings ("Gerätetyp unbekannt!" is
// never translated).
struct TDeviceTexts {
    QString NoDeviceFound = QStringLiteral("No device found!");
    QString ReadDevice = QStringLiteral("Read Device");
    QString WriteDevice = QStringLiteral("Write Device");
    QString FreeAddress = QStringLiteral("erst Adr %s freimachen");
    QString UnknownType = QStringLiteral("Gerätetyp unbekannt!");
    QString NotPcMode = QStringLiteral("kein PC-Mode!");
    QString NodeNotFound = QStringLiteral("Selektiertes Geraet nicht in der Datenbank gefunden!");
    QString TypeMismatch =
        QStringLiteral("Geraetetyp stimmt nicht mit dem angeschlossenen Geraet ueberein!");
    QString OtherDevice =
        QStringLiteral("Der Datensatz stammt von einem anderen Geraet. "
                       "Datensatz trotzdem in das selektierte Geraet uebertragen?");
    QString AddressChangeFailed = QStringLiteral("Adressänderung fehlgeschlagen");
    QString DeviceProtocol = QStringLiteral("Device");
};
