#include "app/oem_info.h"

#include <QStringList>
#include <optional>
#include <variant>

namespace {

using TField = std::variant<int, const char*, bool>;

std::optional<TField> FieldOf(const TOemInfoData& r, const QString& key) {
    static const QStringList keys = {
        "oemid",          "templateDB",   "userDB",          "devices",
        "reg_entry",      "prog_name",    "prog_company",    "prog_company_short",
        "add_company",    "website",      "website_in_menu", "webhelp_url",
        "version_online", "manual_pdf",   "manual_in_menu",  "device_image",
        "company_logo",   "company_icon", "lang_en",         "lang_de",
        "lang_fr",        "lang_fallback"};
    const TField values[] = {
        r.oemid,          r.templateDB,   r.userDB,          r.devices,
        r.reg_entry,      r.prog_name,    r.prog_company,    r.prog_company_short,
        r.add_company,    r.website,      r.website_in_menu, r.webhelp_url,
        r.version_online, r.manual_pdf,   r.manual_in_menu,  r.device_image,
        r.company_logo,   r.company_icon, r.lang_en,         r.lang_de,
        r.lang_fr,        r.lang_fallback};
    const qsizetype i = keys.indexOf(key);
    if (i < 0)
        return std::nullopt;
    return values[i];
}

} // namespace

int LanguageIndexOf(const QString& language) {
    if (language == QLatin1String("de"))
        return 0;
    if (language == QLatin1String("fr"))
        return 2;
    return 1;
}

int TOemInfo::SelectByIndex(int i) {
    Index_ = (i >= 0 && i < kOemRowCount) ? i : -1;
    return Index_;
}

int TOemInfo::SelectByOemId(int oemId) {
    Index_ = -1;
    for (int i = 0; i < kOemRowCount; ++i) {
        if (OemInfoTable()[i].oemid == oemId)
            Index_ = i;
    }
    return Index_;
}

int TOemInfo::SelectByProgName(const QString& name) {
    Index_ = -1;
    for (int i = 0; i < kOemRowCount; ++i) {
        if (name == QString::fromUtf8(OemInfoTable()[i].prog_name))
            Index_ = i;
    }
    return Index_;
}

const TOemInfoData* TOemInfo::Row() const {
    return IsValid() ? &OemInfoTable()[Index_] : nullptr;
}

QString TOemInfo::GetValue(const QString& key) const {
    const TOemInfoData* row = Row();
    if (!row)
        return {};
    if (key == QLatin1String("subtitle"))
        return QString::fromUtf8(row->subtitle[LanguageIndex_]);
    if (key == QLatin1String("about_msg"))
        return QString::fromUtf8(row->about_msg);
    const std::optional<TField> field = FieldOf(*row, key);
    if (!field)
        return {};
    if (const int* number = std::get_if<int>(&*field))
        return QString::number(*number);
    if (const bool* flag = std::get_if<bool>(&*field))
        return *flag ? QStringLiteral("1") : QStringLiteral("0");
    return QString::fromUtf8(std::get<const char*>(*field));
}

bool TOemInfo::GetFlag(const QString& key) const {
    const TOemInfoData* row = Row();
    if (!row)
        return false;
    if (key == QLatin1String("subtitle"))
        return row->subtitle[0][0] != '\0';
    if (key == QLatin1String("about_msg"))
        return row->about_msg[0] != '\0';
    const std::optional<TField> field = FieldOf(*row, key);
    if (!field || std::holds_alternative<int>(*field))
        return false;
    if (const bool* flag = std::get_if<bool>(&*field))
        return *flag;
    return std::get<const char*>(*field)[0] != '\0';
}

QString TOemInfo::ReplaceTags(const QString& text) const {
    const TOemInfoData* row = Row();
    if (!row || !text.contains(QLatin1String("{{")))
        return text;
    QString result = text;
    for (const TInsertTag& tag : row->tags) {
        const QString placeholder =
            QStringLiteral("{{") + QLatin1String(tag.Key) + QStringLiteral("}}");
        result.replace(placeholder, QString::fromUtf8(tag.Text[LanguageIndex_]), Qt::CaseSensitive);
    }
    return result;
}
