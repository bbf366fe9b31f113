#include "i18n/format_pattern.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatPattern, ConversionLetters) {
    const std::pair<const char*, const char*> cases[] = {
        {"erst Adr %s freimachen", "s"},
        {"Merci de libérer l'adresse Modbus % en premier", "e"},
        {"%5.2f und %-3d", "fd"},
        {"100%% sicher", ""},
        {"offen %", "?"},
        {"%lu", "u"},
        {"%y", "?"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(FormatDirectives(QString::fromUtf8(text)), expected) << text;
}

TEST(FormatPattern, FillsDirectivesInOrder) {
    const struct {
        const char* Pattern;
        QStringList Args;
        const char* Expected;
    } cases[] = {
        {"erst Adr %s freimachen", {"17"}, "erst Adr 17 freimachen"},
        {"%s von %d", {"3", "5"}, "3 von 5"},
        {"100%% von %s", {"x"}, "100% von x"},
        {"%s und %s", {"eins"}, "eins und %s"},                // no argument left: stays as written
        {"Modbus % en premier", {"17"}, "Modbus 17n premier"}, // "% e" is a conversion
        {"Ende %", {"17"}, "Ende %"},
        {"%s", {"%s"}, "%s"}, // an argument is not scanned again
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatResource(QString::fromUtf8(c.Pattern), c.Args),
                  QString::fromUtf8(c.Expected))
            << c.Pattern;
    }
}

} // namespace
