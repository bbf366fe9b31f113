#include "params/wiring_rules.h"

#include "params/comma_list.h"
#include "params/decimal_text.h"
#include "params/sql_text.h"
#include "params/text_util.h"

#include <algorithm>
#include <optional>

namespace {

std::optional<int64_t> IntegerOf(std::string_view text) {
    return ParseIntegerText(TrimText(text));
}

bool InList(std::string_view list, int64_t value) {
    const std::vector<std::string> items = SplitCommaList(list);
    const std::string text = std::to_string(value);
    return std::find(items.begin(), items.end(), text) != items.end();
}

struct TLastLabel {
    std::string Name;
    std::optional<int64_t> Value;
};

// A conditional row counts only under the label seen last, compared with its exact name.
bool RowApplies(const TParameterRow& row, const TLastLabel& label) {
    if (row.cond.empty())
        return true;
    return row.cond == label.Name && label.Value && InList(row.vallist, *label.Value);
}

} // namespace

TRegisterValue RegisterValue(const std::vector<TParameterRow>& rows, int r) {
    TRegisterValue result;
    TLastLabel label;
    uint16_t value = 0;
    for (const TParameterRow& row : rows) {
        if (!row.label.empty())
            label = {row.label, IntegerOf(row.value)};
        if (row.modreg != r || !RowApplies(row, label))
            continue;
        const std::optional<int64_t> number = IntegerOf(row.value);
        if (!number)
            continue;
        const std::string byteofs = TrimText(row.byteofs);
        result.Found = true;
        if (row.block.empty()) {
            value = static_cast<uint16_t>(*number);
            break;
        }
        if (byteofs == "0:1") {
            value = static_cast<uint16_t>((*number & 255) * 256);
        } else if (byteofs == "1:1") {
            value = static_cast<uint16_t>(value + *number);
        } else {
            value = static_cast<uint16_t>(*number);
            break;
        }
    }
    result.Value = result.Found ? value : 0;
    return result;
}

bool RuleHolds(const TPngRule& rule, const std::vector<TParameterRow>& rows) {
    for (const TPngCondition& condition : rule.Conditions) {
        if (!condition.Active())
            continue;
        const TRegisterValue reg = RegisterValue(rows, condition.modreg);
        if (!reg.Found || !InList(condition.vlist, reg.Value & condition.mask))
            return false;
    }
    return true;
}

TWiringPictures ChooseWiringPictures(const std::vector<TPngRule>& rules,
                                     const std::vector<TParameterRow>& rows,
                                     std::string_view deviceImage) {
    TWiringPictures view;
    for (const TPngRule& rule : rules) {
        if (!RuleHolds(rule, rows))
            continue;
        view.MemoLines.push_back(std::to_string(rule.pos) + ": " + rule.png +
                                 " | modreg: " + std::to_string(rule.Conditions[2].modreg));
        if (rule.pos == 0)
            view.Pictures[0] = std::string(deviceImage);
        else if (rule.pos > 0 && rule.pos < kWiringPlaces)
            view.Pictures[static_cast<size_t>(rule.pos)] = TrimText(rule.png);
    }
    return view;
}

std::string LoadRegisterList(std::string_view load) {
    std::string list;
    for (const std::string& item : SplitCommaList(load)) {
        const std::optional<int64_t> number = IntegerOf(item);
        if (!number)
            continue;
        if (!list.empty())
            list += ',';
        list += std::to_string(*number);
    }
    return list;
}

std::string WiringNodeQuery(int deviceId) {
    const std::string id = std::to_string(deviceId);
    return "SELECT load, devid FROM mb_node WHERE id=" + id + " OR parentID=" + id;
}

std::string WiringParameterQuery(int deviceId, std::string_view loadList) {
    const std::string id = std::to_string(deviceId);
    return "SELECT * FROM mb_parameter WHERE pid IN (SELECT id FROM mb_node WHERE id=" + id +
           " OR parentID=" + id + ") AND modreg IN (" + std::string(loadList) +
           ") ORDER by modreg, label DESC, sorting";
}

std::string WiringRulesQuery(std::string_view devid) {
    return "SELECT * FROM mb_png WHERE devid=" + QuoteSqlText(devid);
}
