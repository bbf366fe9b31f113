#include "i18n/translate_unit.h"

#include "i18n/format_pattern.h"
#include "i18n/resource_units.h"

void TranslateUnit(TResourceUnit& unit, const TPoCatalogue& catalogue) {
    const QString prefix = QString::fromUtf8(unit.Name()) + '.';
    for (TResourceString* string : unit.Strings()) {
        const QString source = string->Source();
        const std::optional<QString> translation =
            catalogue.Translation(prefix + QString::fromUtf8(string->Name()), source);
        const bool usable = translation && !translation->isEmpty() &&
                            FormatDirectives(*translation) == FormatDirectives(source);
        string->SetText(usable ? *translation : source);
    }
}

bool TranslateUnit(const QString& unit, const QString& code) {
    TResourceUnit* strings = FindResourceUnit(unit);
    if (strings == nullptr)
        return false;
    const std::optional<TPoCatalogue> catalogue = TPoCatalogue::FromResource(code);
    if (!catalogue)
        return false;
    TranslateUnit(*strings, *catalogue);
    return true;
}
