#include "i18n/text_list.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

namespace {

QString Upper(const QString& text) {
    return text.toUpper();
}

TEST(TextList, GapsInTheIdsAreEmpty) {
    TTextList list;
    list.Load({{1, "eins"}, {2, "zwei"}, {5, "fuenf"}}, Upper);
    EXPECT_EQ(list.Count(), 6);
    const std::pair<int, const char*> cases[] = {
        {0, ""}, {1, "EINS"}, {2, "ZWEI"}, {3, ""}, {4, ""}, {5, "FUENF"}, {6, ""}, {-1, ""},
    };
    for (const auto& [id, expected] : cases)
        EXPECT_EQ(list.LookupText(id), QLatin1StringView(expected)) << id;
}

// A row whose id is not larger than the previous one (a repeated id, or 0) is left out, so that
// the texts after it keep their ids.
TEST(TextList, RepeatedIdDoesNotShiftLaterTexts) {
    const QStringList texts =
        BuildTextList({{0, "null"}, {1, "eins"}, {2, "zwei"}, {2, "doppelt"}, {3, "drei"}}, {});
    EXPECT_EQ(texts, QStringList({"", "eins", "zwei", "drei"}));
}

TEST(TextList, EmptyAndCleared) {
    TTextList list;
    EXPECT_EQ(list.LookupText(0), "");
    EXPECT_EQ(list.LookupText(3), "");
    list.Load({{1, "eins"}}, {});
    list.Clear();
    EXPECT_EQ(list.LookupText(1), "");
}

TEST(TextList, StatementPerLanguage) {
    EXPECT_EQ(LoadTextsSql(QStringLiteral("de")), "SELECT id, txt_de FROM mb_text ORDER BY id");
    EXPECT_EQ(LoadTextsSql(QStringLiteral("en")), "SELECT id, txt_en FROM mb_text ORDER BY id");
    EXPECT_EQ(LoadTextsSql(QStringLiteral("fr")), "SELECT id, txt_fr FROM mb_text ORDER BY id");
    EXPECT_EQ(LoadTextsSql(QStringLiteral("de' OR 1")),
              "SELECT id, txt_en FROM mb_text ORDER BY id");
}

} // namespace
