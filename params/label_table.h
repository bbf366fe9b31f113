#pragma once

#include "params/parameter_row.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TLabelEntry {
    std::string Name;
    int32_t Value = 0;
};

// How a label row's value becomes the label's integer.
enum TLabelMode {
    lmGrid, // the row's value, or its factory text when the value is no integer
    lmWrite // the row's value; a value that is no integer throws TConversionError
};

// The labels that the rows of one node define, in sorting order. Names are looked up without
// regard to letter case; the first entry with a name wins.
class TLabelTable {
public:
    TLabelTable() = default;
    // rows: the node's parameter rows in sorting order.
    TLabelTable(const std::vector<TParameterRow>& rows, TLabelMode mode);

    void Add(std::string name, int32_t value);
    const TLabelEntry* Find(std::string_view name) const;
    const std::vector<TLabelEntry>& Entries() const { return Entries_; }
    // The label names joined by ",".
    std::string NamesText() const;

private:
    std::vector<TLabelEntry> Entries_;
};

// Whether a row applies under the node's labels: always when its cond is empty; never when cond
// names no label; else when an item of its vallist equals the label's value in decimal.
bool ConditionHolds(const TParameterRow& row, const TLabelTable& labels);

// The diagnostics lines that list the labels: the grid writes "Abhängigkeits-Label M = 2", the
// write pass "Abhaengigkeits-Label M = 2".
std::vector<std::string> LabelLogLines(const TLabelTable& labels, TLabelMode mode);

// The write pass's line for a conditional row: "Zulaessige Werte: " with every vallist item
// followed by ", ", then "=> true" or "=> false" as ConditionHolds decides.
std::string AllowedValuesLogLine(const TParameterRow& row, const TLabelTable& labels);
