#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a comma list as the value lists of the databases are written: items are separated by
// commas or blanks (any byte up to 0x20), an item may be enclosed in double quotes (a doubled
// quote inside stands for one), and two commas in a row give an empty item.
std::vector<std::string> SplitCommaList(std::string_view text);
