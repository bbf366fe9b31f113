#include "i18n/language.h"
#include "i18n/resource_units.h"
#include "i18n/strings_main.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

struct TSettleCase {
    const char* Stored;
    const char* System;
    TLanguageOffer Offer;
    const char* Expected;
};

const TLanguageOffer AllThree{true, true, true, QStringLiteral("de")};
const TLanguageOffer NoFrench{true, true, false, QStringLiteral("de")};

TEST(Language, SettledAtStart) {
    const TSettleCase cases[] = {
        {"fr", "en_GB", NoFrench, "de"}, // stored French under a brand without it
        {"fr", "en_GB", AllThree, "fr"},
        {"en", "de_DE", NoFrench, "en"},
        {"", "fr_CA", AllThree, "fr"}, // nothing stored: the system's language
        {"", "fr_CA", NoFrench, "de"},
        {"", "it_IT", AllThree, "de"}, // a language no brand has
        {"", "", AllThree, "de"},
        {"xx", "en_US", AllThree, "de"}, // a stored value wins over the system even when unknown
    };
    for (const TSettleCase& c : cases) {
        EXPECT_EQ(
            SettleLanguage(QString::fromLatin1(c.Stored), QString::fromLatin1(c.System), c.Offer),
            QLatin1StringView(c.Expected))
            << c.Stored << "/" << c.System;
    }
}

TEST(Language, MenuTag) {
    EXPECT_EQ(LanguageOfMenuTag(0), "de");
    EXPECT_EQ(LanguageOfMenuTag(1), "en");
    EXPECT_EQ(LanguageOfMenuTag(2), "fr");
    EXPECT_EQ(LanguageOfMenuTag(7), "en");
}

TEST(Language, SetLanguageTranslatesMainAndGivesTheHelpAddress) {
    for (TResourceUnit* unit : AllResourceUnits())
        unit->Reset();
    EXPECT_EQ(SetLanguage(QStringLiteral("en"), QString()), "en/");
    EXPECT_EQ(rs_main::rsdatei.Text(), "File");
    EXPECT_EQ(SetLanguage(QStringLiteral("fr"), QStringLiteral("https://help.example.org/")),
              "https://help.example.org/fr/");
    EXPECT_EQ(rs_main::rsdatei.Text(), "Fichier");
    EXPECT_EQ(SetLanguage(QStringLiteral("it"), QString()), "it/");
    EXPECT_EQ(rs_main::rsdatei.Text(), "Fichier") << "no catalogue: the strings stay";
}

} // namespace
