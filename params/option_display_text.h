#pragma once

#include "params/option_list_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct TOptionDisplay {
    std::string Caption;
    int32_t Symbol = -1; // tree icon of the option, negative for none
    bool HasSymbol() const { return Symbol >= 0; }
};

using TTextLookup = std::function<std::string(int32_t textID)>;

// The caption and symbol of the option of the list titled type whose value equals valueText.
// A value that is no integer is not looked up; no option gives an empty caption and no symbol.
TOptionDisplay OptionDisplayText(std::string_view type, std::string_view valueText,
                                 TOptionCatalog& catalog, const TTextLookup& lookupText);

// The lookup as the template database runs it; the title is quoted, the value a bare integer.
std::string OptionDisplayQuery(std::string_view type, int32_t value);
