#pragma once

#include "i18n/po_catalogue.h"
#include "i18n/resource_string.h"

#include <QString>

// Replaces every string of the unit by its translation in the catalogue: the entry of
// unit + "." + name, else the entry of the German source text. No entry or an empty translation
// gives the source text. A translation whose format directives differ from the source's would
// break the message it is formatted into, so it is not applied either.
void TranslateUnit(TResourceUnit& unit, const TPoCatalogue& catalogue);

// Translates the named unit ("main", "about", ...) with the compiled-in catalogue of the language
// code. A missing catalogue or an unknown unit leaves the strings as they are; returns whether the
// strings were translated.
bool TranslateUnit(const QString& unit, const QString& code);
