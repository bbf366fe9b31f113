#pragma once

#include <QString>

// The languages a brand offers and the one it falls back to (brand fields lang_de, lang_en,
// lang_fr, lang_fallback).
struct TLanguageOffer {
    bool De = true;
    bool En = true;
    bool Fr = true;
    QString Fallback = QStringLiteral("de");
};

// The language of a language menu item's tag: 0 "de", 2 "fr", anything else "en".
QString LanguageOfMenuTag(int tag);

// The language at start: the stored one, or when none was stored the first two letters of the
// system's interface language (e.g. QLocale::system().name()); kept when the brand offers it,
// else the brand's fallback.
QString SettleLanguage(const QString& stored, const QString& systemLanguage,
                       const TLanguageOffer& offer);

// code + "/", behind the brand's web-help address when it has one.
QString HelpBaseAddress(const QString& webhelpUrl, const QString& code);

// Switches the resource strings of unit "main" to the language code (a missing catalogue leaves
// them as they are) and returns the new help base address.
QString SetLanguage(const QString& code, const QString& webhelpUrl);
