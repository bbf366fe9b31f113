#include "app/oem_info_data.h"

namespace {

constexpr const char* kSubtitleKolvaneDe = "Einstellprogramm für KOLVANE-Modbus-Geräte";
constexpr const char* kSubtitleKolvaneEn = "Program to manage settings of KOLVANE Modbus devices";
constexpr const char* kSubtitleDe = "Einstellprogramm für Modbus-Geräte";
constexpr const char* kSubtitleEn = "Program to manage settings of Modbus devices";
constexpr const char* kSubtitleFr = "Programme pour gérer les paramètres des appareils Modbus";

constexpr TInsertTag Tag(const char* key, const char* text) {
    return {key, {text, text, text}};
}

constexpr TInsertTag kNoVersionTag = {"abv16", {"", "", ""}};

const std::array<TOemInfoData, kOemRowCount> kTable = {{
    {0,
     "devices",
     "kolvanebus",
     "39,14,34,42,13,1,8",
     "\\Software\\KOLVANE\\RERUDADadivod",
     "RERUDADadivod",
     "KOLVANE Messtechnik GmbH",
     "KOLVANE",
     true,
     "https://www.kolvane-messtechnik.de",
     true,
     "https://hilfe.kolvane-messtechnik.de/rerudadadivod/",
     "https://www.kolvane-messtechnik.de/download/rerudadadivod.ver",
     "ModbusManual.pdf",
     true,
     "DEVICE_GR",
     "IDB_KOLVANE",
     "IDI_KOLVANE",
     true,
     true,
     true,
     "de",
     {kSubtitleKolvaneDe, kSubtitleKolvaneEn, kSubtitleFr},
     "KOLVANE Messtechnik GmbH\r\nIndustriestraße 14\r\n72770 Reutlingen, Deutschland\r\n"
     "Tel. +49 7121 90455-0\r\nE-Mail: service@kolvane-messtechnik.de",
     {{Tag("UT10", "KUT 10"), Tag("TT2", "KTT 2"), Tag("AI4", "KAI 4"), Tag("AO4", "KAO 4"),
       Tag("DI4", "KDI 4"), Tag("DO4", "KDO 4"),
       TInsertTag{"abv16", {" (ab V1.6)", " (from V1.6)", " (from V1.6)"}}}}},
    {8,
     "devices",
     "modbus",
     "39,34,42,13,1,8",
     "\\Software\\Bexlund\\BEXLUNDmodbus",
     "BEXLUNDmodbus",
     "Bexlund Automation AB",
     "BEXLUND",
     true,
     "https://www.bexlund-automation.se",
     true,
     "",
     "",
     "",
     false,
     "DEVICE_GR",
     "IDB_BEXLUND",
     "IDI_BEXLUND",
     true,
     true,
     false,
     "de",
     {kSubtitleDe, kSubtitleEn, kSubtitleFr},
     "Bexlund Automation AB\r\nVerkstadsgatan 7\r\n417 05 Göteborg, Sverige\r\n"
     "Tel. +46 31 704 12 00\r\nE-post: support@bexlund-automation.se",
     {{Tag("UT10", "BX-U10"), Tag("TT2", "BX-T2"), Tag("AI4", "BX-AI4"), Tag("AO4", "BX-AO4"),
       Tag("DI4", "BX-DI4"), Tag("DO4", "BX-DO4"), kNoVersionTag}}},
    {3,
     "devices",
     "modbus",
     "39,34,42,13,1,8",
     "\\Software\\Tarnwick\\TARNWICKmodbus",
     "TARNWICKmodbus",
     "Tarnwick Controls Ltd",
     "Tarnwick",
     true,
     "https://www.tarnwick-controls.co.uk",
     true,
     "",
     "",
     "",
     false,
     "DEVICE_GR",
     "IDB_TARNWICK",
     "IDI_TARNWICK",
     true,
     true,
     false,
     "de",
     {kSubtitleDe, kSubtitleEn, kSubtitleFr},
     "Tarnwick Controls Ltd\r\nUnit 4, Mill Lane Business Park\r\nLeeds LS12 6BX, United "
     "Kingdom\r\n"
     "Phone +44 113 496 0318\r\nE-mail: sales@tarnwick-controls.co.uk",
     {{Tag("UT10", "TW 810"), Tag("TT2", "TW 802"), Tag("AI4", "TW 841"), Tag("AO4", "TW 842"),
       Tag("DI4", "TW 851"), Tag("DO4", "TW 852"), kNoVersionTag}}},
    {11,
     "devices",
     "modbus",
     "39,34,42,13,1,8",
     "\\Software\\Quillon\\Vantrel",
     "Vantrel",
     "Quillon Instruments S.A.S.",
     "Quillon",
     true,
     "https://www.quillon-instruments.fr",
     true,
     "",
     "",
     "",
     false,
     "DEVICE_GR",
     "IDB_QUILLON",
     "IDI_QUILLON",
     true,
     true,
     false,
     "de",
     {kSubtitleDe, kSubtitleEn, kSubtitleFr},
     "Quillon Instruments S.A.S.\r\n22 rue des Tanneurs\r\n69007 Lyon, France\r\n"
     "Tél. +33 4 78 61 20 45\r\nE-mail : contact@quillon-instruments.fr",
     {{Tag("UT10", "Vantrel U10"), Tag("TT2", "Vantrel T2"), Tag("AI4", "Vantrel A4i"),
       Tag("AO4", "Vantrel A4o"), Tag("DI4", "Vantrel D4i"), Tag("DO4", "Vantrel D4o"),
       kNoVersionTag}}},
}};

} // namespace

const std::array<TOemInfoData, kOemRowCount>& OemInfoTable() {
    return kTable;
}
