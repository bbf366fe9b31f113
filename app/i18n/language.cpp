#include "i18n/language.h"

#include "i18n/translate_unit.h"

QString LanguageOfMenuTag(int tag) {
    if (tag == 0)
        return QStringLiteral("de");
    if (tag == 2)
        return QStringLiteral("fr");
    return QStringLiteral("en");
}

QString SettleLanguage(const QString& stored, const QString& systemLanguage,
                       const TLanguageOffer& offer) {
    const QString wanted = stored.isEmpty() ? systemLanguage.left(2) : stored;
    if ((wanted == u"de" && offer.De) || (wanted == u"en" && offer.En) ||
        (wanted == u"fr" && offer.Fr))
        return wanted;
    return offer.Fallback;
}

QString HelpBaseAddress(const QString& webhelpUrl, const QString& code) {
    return webhelpUrl + code + '/';
}

QString SetLanguage(const QString& code, const QString& webhelpUrl) {
    TranslateUnit(QStringLiteral("main"), code);
    return HelpBaseAddress(webhelpUrl, code);
}
