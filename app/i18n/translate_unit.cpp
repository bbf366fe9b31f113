#include "i18n/translate_unit.h"

#include "i18n/resource_units.h"

namespace {

bool IsFlag(QChar c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}
bool IsLength(QChar c) {
    return QStringView(u"hlLqjzt").contains(c);
}
bool IsConversion(QChar c) {
    return QStringView(u"diouxXeEfFgGaAcspn").contains(c);
}

// Reads one conversion starting after its "%" at position i; returns its letter or '?' and moves
// i past it.
QChar ReadConversion(const QString& text, qsizetype& i) {
    const auto skip = [&](auto predicate) {
        while (i < text.size() && predicate(text[i]))
            ++i;
    };
    skip(IsFlag);
    skip([](QChar c) { return c.isDigit() || c == '*'; });
    if (i < text.size() && text[i] == '.') {
        ++i;
        skip([](QChar c) { return c.isDigit() || c == '*'; });
    }
    skip(IsLength);
    if (i < text.size() && IsConversion(text[i]))
        return text[i++];
    return '?';
}

} // namespace

QString FormatDirectives(const QString& text) {
    QString directives;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i++] != '%')
            continue;
        if (i < text.size() && text[i] == '%') {
            ++i;
            continue;
        }
        directives += ReadConversion(text, i);
    }
    return directives;
}

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
