#include "params/sql_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlText, QuotingDoublesApostrophes) {
    EXPECT_EQ(QuoteSqlText("AB"), "'AB'");
    EXPECT_EQ(QuoteSqlText("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuoteSqlText(""), "''");
    EXPECT_EQ(QuoteSqlText("'; DROP TABLE mb_node; --"), "'''; DROP TABLE mb_node; --'");
}

TEST(SqlText, LiteralsStayLiteralsAndEverythingElseIsQuoted) {
    struct {
        const char* text;
        const char* literal;
    } cases[] = {{"12", "12"},
                 {"-2", "-2"},
                 {"1.5", "1.5"},
                 {"1e+20", "1e+20"},
                 {"'AB'", "'AB'"},
                 {"''", "''"},
                 {"'O''K'", "'O''K'"},
                 {"1,5", "'1,5'"},
                 {"NaN", "'NaN'"},
                 {"-", "'-'"},
                 {"'O'K'", "'''O''K'''"},
                 {"'", "''''"},
                 {"", "''"},
                 {"1; DELETE FROM mb_node", "'1; DELETE FROM mb_node'"}};
    for (const auto& c : cases)
        EXPECT_EQ(AsSqlLiteral(c.text), c.literal) << c.text;
}

TEST(SqlText, StoredFormHasNoApostrophes) {
    EXPECT_EQ(StoredValueText("'AB'"), "AB");
    EXPECT_EQ(StoredValueText("'O''K'"), "OK");
    EXPECT_EQ(StoredValueText("''"), "");
    EXPECT_EQ(StoredValueText("-2"), "-2");
}

} // namespace
