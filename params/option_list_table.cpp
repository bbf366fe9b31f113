#include "params/option_list_table.h"

#include "params/decimal_text.h"
#include "params/text_util.h"

#include <limits>

namespace {

int32_t IntegerOrZero(std::string_view text) {
    const auto value = ParseIntegerText(text);
    if (!value || *value < std::numeric_limits<int32_t>::min() ||
        *value > std::numeric_limits<int32_t>::max())
        return 0;
    return static_cast<int32_t>(*value);
}

TOptionEntry EntryOf(const TOptionRow& row) {
    return {row.value, row.symbol, row.textID, TrimText(row.selected) == "1"};
}

} // namespace

std::string OptionListSelectQuery() {
    return "SELECT * FROM mb_select";
}

std::string OptionListOptionsQuery(int32_t selectId) {
    return "SELECT * FROM mb_option WHERE pid=" + std::to_string(selectId) + " ORDER BY sorting";
}

void TOptionListTable::Load(TOptionListSource& source, const TLogLine& diagnosticsLine) {
    Lists_.clear();
    for (const TSelectRow& row : source.SelectRows()) {
        TOptionList list;
        list.Position = static_cast<int>(Lists_.size());
        list.title = row.title;
        list.id = row.id;
        list.type = IntegerOrZero(row.type);
        list.multiple = TrimText(row.multiple) == "1";
        Lists_.push_back(std::move(list));
    }
    for (TOptionList& list : Lists_) {
        if (list.id == 0)
            continue;
        const std::vector<TOptionRow> options = source.OptionRows(list.id);
        if (options.size() > static_cast<size_t>(MaxListedOptions) && diagnosticsLine)
            diagnosticsLine(list.title + " zu viele Optionen!");
        for (const TOptionRow& option : options)
            list.Options.push_back(EntryOf(option));
    }
}

int TOptionListTable::PositionOf(std::string_view title) const {
    const std::string wanted = TrimText(title);
    for (const TOptionList& list : Lists_) {
        if (list.title == wanted)
            return list.Position;
    }
    return -1;
}

const TOptionList* TOptionListTable::Find(std::string_view title) const {
    const int position = PositionOf(title);
    return position < 0 ? nullptr : &Lists_[static_cast<size_t>(position)];
}

std::optional<TOptionRow> TOptionListTable::FindOption(std::string_view title, int32_t value) {
    const TOptionList* list = Find(title);
    if (!list)
        return std::nullopt;
    for (size_t i = 0; i < list->Options.size(); ++i) {
        const TOptionEntry& entry = list->Options[i];
        if (entry.value == value)
            return TOptionRow{entry.value, static_cast<int32_t>(i), entry.textID, entry.symbol,
                              entry.selected ? "1" : "0"};
    }
    return std::nullopt;
}
