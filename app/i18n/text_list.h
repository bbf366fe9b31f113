#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// One row of "SELECT id, txt_<language> FROM mb_text ORDER BY id".
struct TTextRow {
    int Id = 0;
    QString Text;
};

using TReplaceTags = std::function<QString(const QString&)>;

// The statement that reads the template texts of a language; any code other than "de" and "fr"
// reads the English column, as the language index does.
QString LoadTextsSql(const QString& language);

// The text list of rows in id order: each text (through replaceTags) at the index of its id,
// empty entries for the ids that have no row, entry 0 always empty. A row whose id is not larger
// than the previous row's (a repeated id, or 0 and below) is left out, so that it cannot push
// the texts after it off their ids.
QStringList BuildTextList(const std::vector<TTextRow>& rows, const TReplaceTags& replaceTags);

// The template texts of the current language, indexed by text id.
class TTextList {
public:
    void Load(const std::vector<TTextRow>& rows, const TReplaceTags& replaceTags);
    void Clear() { Texts_.clear(); }
    qsizetype Count() const { return Texts_.size(); }

    // The text of the id; empty for an id without text, below 0 or beyond the list.
    QString LookupText(int id) const;

private:
    QStringList Texts_;
};
