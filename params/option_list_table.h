#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One row of mb_select as the template database gives it.
struct TSelectRow {
    int32_t id = 0;
    std::string title;
    std::string type;     // an integer, kept but not interpreted
    std::string multiple; // "1" when several options may be active at once
};

// One row of mb_option (its pid is the list's id).
struct TOptionRow {
    int32_t value = 0; // option value; for bit sets a bit mask
    int32_t sorting = 0;
    int32_t textID = 0;
    int32_t symbol = -1; // tree icon index, negative for none
    std::string selected;
};

// Where the option lists come from: the template database in the program, rows of their own in
// tests. OptionRows returns the options of one list ordered by sorting.
class TOptionListSource {
public:
    virtual ~TOptionListSource() = default;
    virtual std::vector<TSelectRow> SelectRows() = 0;
    virtual std::vector<TOptionRow> OptionRows(int32_t selectId) = 0;
};

// The statements a database-backed source runs.
std::string OptionListSelectQuery();
std::string OptionListOptionsQuery(int32_t selectId);

// Finds the option of a list by its value.
class TOptionCatalog {
public:
    virtual ~TOptionCatalog() = default;
    virtual std::optional<TOptionRow> FindOption(std::string_view title, int32_t value) = 0;
};

struct TOptionEntry {
    int32_t value = 0;
    int32_t symbol = -1;
    int32_t textID = 0;
    bool selected = false;
};

struct TOptionList {
    int Position = 0;
    std::string title;
    int32_t id = 0;
    int32_t type = 0;
    bool multiple = false;
    std::vector<TOptionEntry> Options; // in sorting order
    int OptionCount() const { return static_cast<int>(Options.size()); }
};

// In-memory copy of all option lists, loaded once after the template database is opened. The
// lists and their options grow with the data; a list of more options than the 31 that the
// diagnostics window was laid out for is still reported on the diagnostics page.
class TOptionListTable : public TOptionCatalog {
public:
    using TLogLine = std::function<void(const std::string&)>;

    void Load(TOptionListSource& source, const TLogLine& diagnosticsLine);
    void Clear() { Lists_.clear(); }

    const std::vector<TOptionList>& Lists() const { return Lists_; }
    // Position of the first list with the title, -1 when there is none.
    int PositionOf(std::string_view title) const;
    const TOptionList* Find(std::string_view title) const;

    std::optional<TOptionRow> FindOption(std::string_view title, int32_t value) override;

    static constexpr int MaxListedOptions = 31;

private:
    std::vector<TOptionList> Lists_;
};
