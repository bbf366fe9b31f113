#include "params/option_display_text.h"

#include "params/decimal_text.h"
#include "params/sql_text.h"
#include "params/text_util.h"

#include <limits>

TOptionDisplay OptionDisplayText(std::string_view type, std::string_view valueText,
                                 TOptionCatalog& catalog, const TTextLookup& lookupText) {
    const auto value = ParseIntegerText(valueText);
    if (!value || *value < std::numeric_limits<int32_t>::min() ||
        *value > std::numeric_limits<int32_t>::max())
        return {};
    const auto option = catalog.FindOption(TrimText(type), static_cast<int32_t>(*value));
    if (!option)
        return {};
    return {lookupText ? lookupText(option->textID) : std::string(), option->symbol};
}

std::string OptionDisplayQuery(std::string_view type, int32_t value) {
    return "SELECT textID, symbol FROM mb_option WHERE pid=(SELECT id FROM mb_select WHERE title=" +
           QuoteSqlText(TrimText(type)) + ") AND value=" + std::to_string(value) + " LIMIT 0,1";
}
