#include "params/grid_rules.h"

#include "params/copy_to_statement.h"
#include "params/decimal_text.h"
#include "params/parameter_codec.h"
#include "params/sql_text.h"
#include "params/text_util.h"
#include "params/value_statement.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

constexpr int HiddenAccess = 4;

TValueCheck Corrected(std::string value) {
    return {std::move(value), true};
}

// The values a register of the type can hold; a limit beyond them would let through a value
// that the encoding turns into 0.
std::pair<int64_t, int64_t> TypeRange(TParamType type) {
    switch (type) {
    case ptINT16:
        return {-32768, 32767};
    case ptUINT16:
        return {0, 65535};
    case ptINT32:
        return {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
    default:
        return {0, std::numeric_limits<uint32_t>::max()};
    }
}

// Integer limits: a value that is no integer (also a decimal fraction, which would be written
// as 0) takes the lower limit; then it is kept inside [min, max] and inside the type's range.
// A limit that is no integer does not limit.
TValueCheck CheckInteger(TParamType type, std::string_view min, std::string_view max,
                         std::string_view value) {
    auto [low, high] = TypeRange(type);
    if (const auto limit = ParseIntegerText(min))
        low = std::clamp(*limit, low, high);
    if (const auto limit = ParseIntegerText(max))
        high = std::clamp(*limit, low, high);
    const auto number = ParseIntegerText(value);
    if (!number) {
        const bool hasMin = ParseIntegerText(min).has_value();
        return Corrected(std::to_string(hasMin ? low : std::clamp<int64_t>(0, low, high)));
    }
    if (*number < low)
        return Corrected(std::to_string(low));
    if (*number > high)
        return Corrected(std::to_string(high));
    return {std::string(value), false};
}

// Decimal limits: each may be empty (no limit). A text that is no number takes the lower
// limit, or 0 when there is none, so the cell shows what the device will get.
TValueCheck CheckFloat(std::string_view min, std::string_view max, std::string_view value) {
    const std::string low = TrimText(min);
    const std::string high = TrimText(max);
    TValueCheck check{std::string(value), false};
    const auto number = TryParseDecimalText(value);
    if (!low.empty() && (!number || *number < ParseDecimalText(low)))
        check = Corrected(low);
    else if (!number)
        check = Corrected("0");
    if (!high.empty() && ParseDecimalText(check.Value) > ParseDecimalText(high))
        check = Corrected(high);
    return check;
}

// Texts: at most as many characters as the type's digits name ("ASCII16": 16).
TValueCheck CheckText(std::string_view type, std::string_view value) {
    const auto digits = type.size() > 5 ? ParseIntegerText(type.substr(5, 3)) : std::nullopt;
    const size_t limit = digits && *digits > 0 ? static_cast<size_t>(*digits) : 0;
    if (Utf8CharacterCount(value) <= limit)
        return {std::string(value), false};
    return Corrected(Utf8Prefix(value, limit));
}

std::string OptionListFilter(std::string_view type) {
    return "FROM mb_option WHERE pid=(SELECT id FROM mb_select WHERE title=" +
           QuoteSqlText(TrimText(type)) + ") ORDER BY sorting";
}

TGridRow GridRowOf(const TParameterRow& row, TOptionCatalog& options, const TTextLookup& lookupText,
                   std::vector<int32_t>& symbols) {
    TGridRow cells;
    cells.Caption = lookupText ? lookupText(row.textID) : std::string();
    cells.Display = row.value;
    if (IsSelectType(row.type)) {
        const TOptionDisplay option = OptionDisplayText(row.type, row.value, options, lookupText);
        cells.Display = option.Caption;
        if (option.HasSymbol())
            symbols.push_back(option.Symbol);
    }
    cells.Id = std::to_string(row.id);
    cells.Type = row.type;
    cells.RW = AccessText(row.access);
    cells.Value = row.value;
    return cells;
}

} // namespace

std::string AccessText(int access) {
    switch (access) {
    case 1:
        return "R";
    case 2:
        return "W";
    case 3:
        return "RW";
    default:
        return {};
    }
}

bool IsRowVisible(const TParameterRow& row, const TLabelTable& labels) {
    return (row.access & HiddenAccess) == 0 && ConditionHolds(row, labels);
}

bool IsSelectType(std::string_view type) {
    return ParamTypeOf(type) == ptSELECT;
}

bool IsWritableRw(std::string_view rw) {
    return !rw.empty() && std::toupper(static_cast<unsigned char>(rw.back())) == 'W';
}

bool IsEditableCell(int column, const TGridRow& row) {
    return column == gcDisplay && !row.Id.empty() && IsWritableRw(row.RW);
}

TGridFill FillParameterRows(const std::vector<TParameterRow>& rows, TOptionCatalog& options,
                            const TTextLookup& lookupText) {
    TGridFill fill;
    const TLabelTable labels(rows, lmGrid);
    fill.MemoLines = LabelLogLines(labels, lmGrid);
    const std::string names = labels.NamesText();
    for (const TParameterRow& row : rows) {
        fill.MemoLines.push_back("Labels: " + names + " | " + row.cond);
        if (IsRowVisible(row, labels))
            fill.Rows.push_back(GridRowOf(row, options, lookupText, fill.NodeSymbols));
    }
    return fill;
}

std::string EditedValueText(const TGridRow& row) {
    return IsSelectType(row.Type) ? row.Value : row.Display;
}

TValueCheck CheckEditedValue(std::string_view type, std::string_view min, std::string_view max,
                             std::string_view value) {
    const std::string name = TrimText(type);
    switch (ParamTypeOf(name)) {
    case ptINT16:
    case ptINT32:
    case ptUINT16:
    case ptUINT32:
        return CheckInteger(ParamTypeOf(name), min, max, value);
    case ptFLOAT:
        return CheckFloat(min, max, value);
    default:
        if (name.starts_with("ASCII"))
            return CheckText(name, value);
        return {std::string(value), false};
    }
}

TRefreshKind RefreshKindOf(std::string_view refresh) {
    const std::string code = TrimText(refresh);
    if (code.empty())
        return rkNone;
    return code == "2" ? rkWiring : rkTree;
}

TEditStore EvaluateEdit(const TParameterRow& stored, std::string_view value,
                        std::string_view oldRowValue, int segmentId) {
    TEditStore edit;
    edit.Check = CheckEditedValue(stored.type, stored.min, stored.max, value);
    if (edit.Check.Corrected || edit.Check.Value == oldRowValue)
        return edit;
    const std::string& text = edit.Check.Value;
    edit.Store = true;
    edit.LogLines.push_back("UPDATE mb_parameter " + text);
    edit.Statements.push_back({ParameterValueStatement(stored.id, text), 7});
    const std::string copyto = TrimText(stored.copyto);
    if (!copyto.empty()) {
        if (auto copy = CopyToStatement(copyto, QuoteSqlText(text), stored.pid, segmentId)) {
            edit.LogLines.push_back(CopyToLogLine(copyto));
            edit.Statements.push_back({std::move(*copy), 8});
        }
    }
    edit.LogLines.push_back("OldRowValue.1 = " + text);
    edit.Refresh = RefreshKindOf(stored.refresh);
    if (edit.Refresh != rkNone)
        edit.LogLines.push_back("REFRESH NodeTree " + TrimText(stored.refresh));
    return edit;
}

std::string OptionItemsQuery(std::string_view type) {
    return "SELECT value, textID " + OptionListFilter(type);
}

std::string OptionChoiceQuery(std::string_view type, int itemIndex) {
    return "SELECT value, symbol " + OptionListFilter(type) + " LIMIT " +
           std::to_string(itemIndex < 0 ? 0 : itemIndex) + ",1";
}

int SelectedOptionIndex(const std::vector<std::string>& optionValues, std::string_view value) {
    int index = -1;
    for (size_t i = 0; i < optionValues.size(); ++i) {
        if (optionValues[i] == value)
            index = static_cast<int>(i);
    }
    return index;
}
