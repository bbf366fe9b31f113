#include "i18n/po_catalogue.h"
#include "i18n/resource_units.h"
#include "i18n/strings_about.h"
#include "i18n/strings_main.h"
#include "i18n/strings_settings.h"
#include "i18n/translate_unit.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

// Every unit starts from its German sources, so no test sees another's language.
class TranslateUnitTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (TResourceUnit* unit : AllResourceUnits())
            unit->Reset();
    }
};

struct TMainCase {
    const char* Code;
    TResourceString* String;
    const char* Expected;
};

TEST_F(TranslateUnitTest, MainFollowsEachCatalogue) {
    const TMainCase cases[] = {
        {"en", &rs_main::rsdatei, "File"},
        {"en", &rs_main::rsaddnode, "Add device"},
        {"en", &rs_main::rsparameter, "Parameter"},
        {"en", &rs_main::rswert, "Value"},
        {"en", &rs_main::rserstadrfreim, "Please free the Modbus address %s first "},
        {"fr", &rs_main::rsdatei, "Fichier"},
        {"fr", &rs_main::rsaddnode, "Ajouter un nœud"},
        {"fr", &rs_main::rskommunikatio, "Communication …"},
        {"de", &rs_main::rsaddnode, "Gerät hinzufügen"},
        {"de", &rs_main::rsffnen, "Öffnen ..."},
        {"de", &rs_main::rsberparsetta, "Über"},
    };
    for (const TMainCase& c : cases) {
        ASSERT_TRUE(TranslateUnit(QStringLiteral("main"), QString::fromLatin1(c.Code)));
        EXPECT_EQ(c.String->Text(), QString::fromUtf8(c.Expected))
            << c.Code << " " << c.String->Name();
    }
}

TEST_F(TranslateUnitTest, FuzzyFrenchEntryIsNotApplied) {
    ASSERT_TRUE(TranslateUnit(QStringLiteral("main"), QStringLiteral("de")));
    EXPECT_EQ(rs_main::rserstadrfreim.Text(), "Bitte erst die Modbus-Adresse %s freimachen");
    ASSERT_TRUE(TranslateUnit(QStringLiteral("main"), QStringLiteral("fr")));
    EXPECT_EQ(rs_main::rserstadrfreim.Text(), "erst Adr %s freimachen");
}

TEST_F(TranslateUnitTest, EmptyTranslationGivesTheSourceAfterASwitch) {
    ASSERT_TRUE(TranslateUnit(QStringLiteral("main"), QStringLiteral("fr")));
    EXPECT_EQ(rs_main::rskeinpcmode.Text(),
              QString::fromUtf8("L'appareil ne fonctionne pas actuellement en mode PC!"));
    ASSERT_TRUE(TranslateUnit(QStringLiteral("main"), QStringLiteral("en")));
    EXPECT_EQ(rs_main::rskeinpcmode.Text(), "kein PC-Mode!");
}

TEST_F(TranslateUnitTest, MissingCatalogueLeavesTheStrings) {
    ASSERT_TRUE(TranslateUnit(QStringLiteral("main"), QStringLiteral("en")));
    EXPECT_FALSE(TranslateUnit(QStringLiteral("main"), QStringLiteral("it")));
    EXPECT_EQ(rs_main::rsdatei.Text(), "File");
    EXPECT_FALSE(TPoCatalogue::FromResource(QStringLiteral("it")));
}

TEST_F(TranslateUnitTest, DialogUnitsFollowTheirOwnEntries) {
    ASSERT_TRUE(TranslateUnit(QStringLiteral("about"), QStringLiteral("fr")));
    EXPECT_EQ(rs_about::rscbstartinfo.Text(),
              QString::fromUtf8("Présenter ces informations au démarrage"));
    EXPECT_EQ(rs_main::rsdatei.Text(), "Datei") << "only the named unit changes";
    ASSERT_TRUE(TranslateUnit(QStringLiteral("settings"), QStringLiteral("de")));
    EXPECT_EQ(rs_settings::rscancel.Text(), "Abbrechen");
    EXPECT_FALSE(TranslateUnit(QStringLiteral("nosuchunit"), QStringLiteral("de")));
}

// Every string of every unit has its own entry in each catalogue, with the unit's source as msgid,
// and a translation except where the catalogue deliberately keeps the source.
TEST_F(TranslateUnitTest, CataloguesCoverEveryResourceString) {
    for (const char* code : {"de", "en", "fr"}) {
        const std::optional<TPoCatalogue> catalogue =
            TPoCatalogue::FromResource(QString::fromLatin1(code));
        ASSERT_TRUE(catalogue) << code;
        for (const TResourceUnit* unit : AllResourceUnits()) {
            for (const TResourceString* string : unit->Strings()) {
                const QString id = QString::fromUtf8(unit->Name()) + '.' + string->Name();
                const bool fuzzy = id == u"main.rserstadrfreim" && QLatin1StringView(code) == "fr";
                const bool keepsSource =
                    id == u"main.rskeinpcmode" && QLatin1StringView(code) != "fr";
                const TPoCatalogue::TEntry* entry = catalogue->FindByIdentifier(id);
                if (fuzzy) {
                    EXPECT_EQ(entry, nullptr) << code << " " << id.toStdString();
                    continue;
                }
                ASSERT_NE(entry, nullptr) << code << " " << id.toStdString();
                EXPECT_EQ(entry->Source, string->Source()) << code << " " << id.toStdString();
                EXPECT_EQ(entry->Translation.isEmpty(), keepsSource)
                    << code << " " << id.toStdString();
            }
        }
    }
}

// A small unit and catalogue of the test's own, for the lookup rules.
PARSETTA_RS_DEFINE_ONE(rsbyid, "Quelle")
PARSETTA_RS_DEFINE_ONE(rsbyref, "Referenz")
PARSETTA_RS_DEFINE_ONE(rsbysource, "Datei")
PARSETTA_RS_DEFINE_ONE(rsunknown, "Unbekannt")
PARSETTA_RS_DEFINE_ONE(rsfuzzy, "Ungefaehr")
PARSETTA_RS_DEFINE_ONE(rsformat, "Adresse %s belegt")
PARSETTA_RS_DEFINE_ONE(rsempty, "Leer")

const char* const LookupCatalogue = R"(msgid ""
msgstr ""
"Project-Id-Version: Parsetta\n"
"Language: en\n"
"Content-Type: text/plain; charset=UTF-8\n"

#: probe.rsbyid
msgctxt "probe.rsbyid"
msgid "Something else"
msgstr "By identifier"

msgid "Quelle"
msgstr "By source, not used"

#: PROBE.RSBYREF
msgid "Referenz"
msgstr "By reference"

#: other.rsdatei
msgctxt "other.rsdatei"
msgid "Datei"
msgstr "File"

#: probe.rsfuzzy
#, fuzzy
msgctxt "probe.rsfuzzy"
msgid "Ungefaehr"
msgstr "Roughly"

#: probe.rsformat
#, c-format
msgctxt "probe.rsformat"
msgid "Adresse %s belegt"
msgstr "Address %d in use"

msgctxt "elsewhere"
msgid "Leer"
msgstr "Empty"

#: probe.rsempty
msgctxt "probe.rsempty"
msgid "Leer"
msgstr ""
)";

TEST(TranslateUnitLookup, IdentifierThenSourceText) {
    TResourceUnit probe(
        "probe", {&rsbyid, &rsbyref, &rsbysource, &rsunknown, &rsfuzzy, &rsformat, &rsempty});
    probe.Find(u"rsunknown")->SetText(QStringLiteral("left over from another language"));
    const std::optional<TPoCatalogue> catalogue = TPoCatalogue::FromText(LookupCatalogue);
    ASSERT_TRUE(catalogue);
    TranslateUnit(probe, *catalogue);
    EXPECT_EQ(rsbyid.Text(), "By identifier");
    EXPECT_EQ(rsbyref.Text(), "By reference") << "a \"#:\" reference, compared case-insensitively";
    EXPECT_EQ(rsbysource.Text(), "File") << "no identifier matches: the German source does";
    EXPECT_EQ(rsunknown.Text(), "Unbekannt");
    EXPECT_EQ(rsfuzzy.Text(), "Ungefaehr");
    EXPECT_EQ(rsformat.Text(), "Adresse %s belegt") << "a translation with other directives";
    EXPECT_EQ(rsempty.Text(), "Leer") << "the identifier's empty entry wins over the source match";
}

TEST(TranslateUnitLookup, BrokenCatalogueIsRefused) {
    EXPECT_FALSE(TPoCatalogue::FromText("msgid \"open\nmsgstr \"x\"\n"));
    EXPECT_FALSE(TPoCatalogue::FromText("msgid \"a\"\nmsgstr \"b\"\nmsgid \"a\"\nmsgstr \"c\"\n"))
        << "a duplicate entry";
    EXPECT_TRUE(TPoCatalogue::FromText(""));
}

} // namespace
