#pragma once

#include "app/oem_info_data.h"

#include <QString>

// Access to the selected brand profile. The main window creates one, selects a row once at start
// and keeps the language index current; everything else reads through it.
class TOemInfo {
public:
    TOemInfo() = default;

    bool IsValid() const { return Index_ != -1; }
    int Index() const { return Index_; }
    int SelectByIndex(int i);
    int SelectByOemId(int oemId);
    int SelectByProgName(const QString& name);

    // 0 German, 1 English, 2 French: chooses the texts of "subtitle" and of the tags.
    int LanguageIndex() const { return LanguageIndex_; }
    void SetLanguageIndex(int index) { LanguageIndex_ = (index >= 0 && index <= 2) ? index : 1; }

    QString GetValue(const QString& key) const;
    bool GetFlag(const QString& key) const;
    QString ReplaceTags(const QString& text) const;

private:
    const TOemInfoData* Row() const;

    int Index_ = -1;
    int LanguageIndex_ = 0;
};

// "de" → 0, "fr" → 2, anything else → 1.
int LanguageIndexOf(const QString& language);
