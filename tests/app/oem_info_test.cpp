#include "app/oem_info.h"

#include <gtest/gtest.h>

TEST(OemInfo, SelectionRules) {
    TOemInfo oem;
    EXPECT_FALSE(oem.IsValid());
    EXPECT_EQ(oem.GetValue("prog_name"), QString());
    EXPECT_FALSE(oem.GetFlag("add_company"));
    EXPECT_EQ(oem.SelectByIndex(3), 3);
    EXPECT_EQ(oem.SelectByIndex(4), -1);
    EXPECT_EQ(oem.SelectByIndex(-1), -1);
    EXPECT_EQ(oem.SelectByOemId(8), 1);
    EXPECT_EQ(oem.SelectByOemId(11), 3);
    EXPECT_EQ(oem.SelectByOemId(5), -1);
    EXPECT_EQ(oem.SelectByProgName("Vantrel"), 3);
    EXPECT_EQ(oem.SelectByProgName("vantrel"), -1);
    EXPECT_EQ(oem.SelectByProgName("TARNWICKmodbus"), 2);
}

TEST(OemInfo, GetValueAndGetFlagPerFieldKind) {
    struct TCase {
        int Row;
        const char* Key;
        const char* Value;
        bool Flag;
    };
    const TCase cases[] = {
        {0, "oemid", "0", false},
        {3, "oemid", "11", false},
        {0, "prog_name", "RERUDADadivod", true},
        {1, "userDB", "modbus", true},
        {0, "devices", "39,14,34,42,13,1,8", true},
        {2, "reg_entry", "\\Software\\Tarnwick\\TARNWICKmodbus", true},
        {0, "add_company", "1", true},
        {1, "manual_in_menu", "0", false},
        {1, "manual_pdf", "", false},
        {0, "manual_pdf", "ModbusManual.pdf", true},
        {1, "lang_fr", "0", false},
        {0, "lang_fr", "1", true},
        {3, "company_icon", "IDI_QUILLON", true},
        {1, "webhelp_url", "", false},
        {0, "lang_fallback", "de", true},
        {0, "no_such_key", "", false},
        {0, "tags", "", false},
    };
    TOemInfo oem;
    for (const TCase& c : cases) {
        oem.SelectByIndex(c.Row);
        EXPECT_EQ(oem.GetValue(c.Key), QString::fromUtf8(c.Value)) << c.Row << " " << c.Key;
        EXPECT_EQ(oem.GetFlag(c.Key), c.Flag) << c.Row << " " << c.Key;
    }
}

TEST(OemInfo, SubtitleFollowsTheLanguage) {
    TOemInfo oem;
    oem.SelectByIndex(0);
    oem.SetLanguageIndex(LanguageIndexOf("de"));
    EXPECT_EQ(oem.GetValue("subtitle"),
              QStringLiteral("Einstellprogramm für KOLVANE-Modbus-Geräte"));
    oem.SetLanguageIndex(LanguageIndexOf("en"));
    EXPECT_EQ(oem.GetValue("subtitle"),
              QStringLiteral("Program to manage settings of KOLVANE Modbus devices"));
    oem.SetLanguageIndex(LanguageIndexOf("fr"));
    EXPECT_EQ(oem.GetValue("subtitle"),
              QStringLiteral("Programme pour gérer les paramètres des appareils Modbus"));
    EXPECT_TRUE(oem.GetFlag("subtitle"));
}

TEST(OemInfo, LanguageIndex) {
    EXPECT_EQ(LanguageIndexOf("de"), 0);
    EXPECT_EQ(LanguageIndexOf("fr"), 2);
    EXPECT_EQ(LanguageIndexOf("en"), 1);
    EXPECT_EQ(LanguageIndexOf("it"), 1);
    EXPECT_EQ(LanguageIndexOf(""), 1);
}

TEST(OemInfo, ReplaceTags) {
    TOemInfo oem;
    oem.SelectByIndex(0);
    oem.SetLanguageIndex(1);
    EXPECT_EQ(oem.ReplaceTags("UT10 {abv16}"), QStringLiteral("UT10 {abv16}"));
    EXPECT_EQ(oem.ReplaceTags("{{abv16}}"), QStringLiteral(" (from V1.6)"));
    oem.SetLanguageIndex(0);
    EXPECT_EQ(oem.ReplaceTags("{{UT10}}{{abv16}}"), QStringLiteral("KUT 10 (ab V1.6)"));
    EXPECT_EQ(oem.ReplaceTags("{{DI4}} / {{DI4}} / {{di4}}"),
              QStringLiteral("KDI 4 / KDI 4 / {{di4}}"));
    oem.SelectByIndex(1);
    EXPECT_EQ(oem.ReplaceTags("{{abv16}}"), QString());
    EXPECT_EQ(oem.ReplaceTags("{{UT10}}{{abv16}}"), QStringLiteral("BX-U10"));
    oem.SelectByIndex(3);
    EXPECT_EQ(oem.ReplaceTags("{{AO4}}"), QStringLiteral("Vantrel A4o"));
}

TEST(OemInfo, EveryRowHasTheSameSevenTagKeys) {
    const char* keys[] = {"UT10", "TT2", "AI4", "AO4", "DI4", "DO4", "abv16"};
    for (const TOemInfoData& row : OemInfoTable()) {
        for (int i = 0; i < 7; ++i) {
            EXPECT_STREQ(row.tags[i].Key, keys[i]);
            if (i < 6) {
                EXPECT_STRNE(row.tags[i].Text[0], "") << row.prog_name;
            }
        }
    }
}
