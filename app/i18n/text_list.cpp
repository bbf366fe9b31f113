#include "i18n/text_list.h"

QString LoadTextsSql(const QString& language) {
    // Only the three known columns reach the statement text; anything else is English, as the
    // brand's language index treats it.
    const char* column = "txt_en";
    if (language == u"de")
        column = "txt_de";
    else if (language == u"fr")
        column = "txt_fr";
    return QStringLiteral("SELECT id, %1 FROM mb_text ORDER BY id").arg(QLatin1StringView(column));
}

QStringList BuildTextList(const std::vector<TTextRow>& rows, const TReplaceTags& replaceTags) {
    QStringList texts{QString()};
    for (const TTextRow& row : rows) {
        if (row.Id < texts.size())
            continue;
        while (texts.size() < row.Id)
            texts.append(QString());
        texts.append(replaceTags ? replaceTags(row.Text) : row.Text);
    }
    return texts;
}

void TTextList::Load(const std::vector<TTextRow>& rows, const TReplaceTags& replaceTags) {
    Texts_ = BuildTextList(rows, replaceTags);
}

QString TTextList::LookupText(int id) const {
    if (id < 0 || id >= Texts_.size())
        return Texts_.isEmpty() ? QString() : Texts_.first();
    return Texts_[id];
}
