#include "params/grid_rules.h"

#include "params/copy_to_statement.h"
#include "params/decimal_text.h"
#include "params/parameter_codec.h"
#include "params/sql_text.h"
#include "params/text_util.h"
#include "params/value_statement.h"

#include <cctype>

namespace {

constexpr int HiddenAccess = 4;

std::optional<int64_t> LimitOf(std::string_view text) {
    return ParseIntegerText(text);
}

TValueCheck Corrected(std::string value) {
    return {std::move(value), true};
}

// Integer limits: a value that is no integer (also a decimal fraction, which would be written
// as 0) takes the lower limit; then it is kept inside [min, max]. A limit that is no integer
// does not limit.
TValueCheck CheckInteger(std::string_view min, std::string_view max, std::string_view value) {
    const auto low = LimitOf(min);
    const auto high = LimitOf(max);
    const auto number = ParseIntegerText(value);
    if (!number) {
        const int64_t fallback = low ? *low : (high && *high < 0 ? *high : 0);
        return Corrected(std::to_string(fallback));
    }
    if (low && *number < *low)
        return Corrected(std::to_string(*low));
    if (high && *number > *high)
        return Corrected(std::to_string(*high));
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
        return CheckInteger(min, max, value);
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
