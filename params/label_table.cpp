#include "params/label_table.h"

#include "params/comma_list.h"
#include "params/conversion_error.h"
#include "params/decimal_text.h"
#include "params/text_util.h"

#include <limits>

namespace {

std::optional<int32_t> Integer32(std::string_view text) {
    const auto value = ParseIntegerText(text);
    if (!value || *value < std::numeric_limits<int32_t>::min() ||
        *value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(*value);
}

int32_t LabelValue(const TParameterRow& row, TLabelMode mode) {
    if (mode == lmGrid) {
        if (const auto value = Integer32(row.value))
            return *value;
        return IntegerOrThrow(row.factory);
    }
    return IntegerOrThrow(row.value);
}

} // namespace

TLabelTable::TLabelTable(const std::vector<TParameterRow>& rows, TLabelMode mode) {
    for (const TParameterRow& row : rows) {
        std::string name = TrimText(row.label);
        if (!name.empty())
            Add(std::move(name), LabelValue(row, mode));
    }
}

void TLabelTable::Add(std::string name, int32_t value) {
    Entries_.push_back({std::move(name), value});
}

const TLabelEntry* TLabelTable::Find(std::string_view name) const {
    const std::string wanted = TrimText(name);
    for (const TLabelEntry& entry : Entries_) {
        if (SameTextIgnoreCase(entry.Name, wanted))
            return &entry;
    }
    return nullptr;
}

std::string TLabelTable::NamesText() const {
    std::string text;
    for (const TLabelEntry& entry : Entries_) {
        if (!text.empty())
            text += ',';
        text += entry.Name;
    }
    return text;
}

bool ConditionHolds(const TParameterRow& row, const TLabelTable& labels) {
    if (TrimText(row.cond).empty())
        return true;
    const TLabelEntry* label = labels.Find(row.cond);
    if (!label)
        return false;
    const std::string value = std::to_string(label->Value);
    for (const std::string& item : SplitCommaList(row.vallist)) {
        if (item == value)
            return true;
    }
    return false;
}

std::vector<std::string> LabelLogLines(const TLabelTable& labels, TLabelMode mode) {
    const std::string head = mode == lmGrid ? "Abhängigkeits-Label " : "Abhaengigkeits-Label ";
    std::vector<std::string> lines;
    for (const TLabelEntry& entry : labels.Entries())
        lines.push_back(head + entry.Name + " = " + std::to_string(entry.Value));
    return lines;
}

std::string AllowedValuesLogLine(const TParameterRow& row, const TLabelTable& labels) {
    std::string line = "Zulaessige Werte: ";
    for (const std::string& item : SplitCommaList(row.vallist))
        line += item + ", ";
    return line + (ConditionHolds(row, labels) ? "=> true" : "=> false");
}
