#pragma once

#include "params/label_table.h"
#include "params/option_display_text.h"
#include "params/parameter_row.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The rules of the parameter grid without the grid: which rows show and with what, which cells
// may be edited, how an edited value is checked against the row's type and limits, and what
// storing it runs. The form only moves texts between these functions and its cells.

// The six cells of one grid row, by column.
struct TGridRow {
    std::string Caption; // 0 "Parameter"
    std::string Display; // 1 "Wert": option caption for "SELECT_" types, else the value
    std::string Id;      // 2 "ID"
    std::string Type;    // 3 "Type"
    std::string RW;      // 4 "RW"
    std::string Value;   // 5 "Value": the stored value
};

enum TGridColumn { gcCaption, gcDisplay, gcId, gcType, gcRW, gcValue };

struct TGridFill {
    std::vector<TGridRow> Rows;         // one per visible parameter row, in sorting order
    std::vector<std::string> MemoLines; // for the diagnostics page
    std::vector<int32_t> NodeSymbols;   // tree icons of the selected options, in row order
};

// "R" for access 1, "W" for 2, "RW" for 3, empty otherwise.
std::string AccessText(int access);

// Access bit 4 hides a row; a row whose condition does not hold is hidden too.
bool IsRowVisible(const TParameterRow& row, const TLabelTable& labels);

bool IsSelectType(std::string_view type);

// The RW text marks a writable row when its last character is "W" (either case).
bool IsWritableRw(std::string_view rw);

// Only the value column of a writable, filled row is edited.
bool IsEditableCell(int column, const TGridRow& row);

// The grid's content for one node's rows (sorting order). Throws TConversionError when a label
// row holds an integer neither in its value nor in its factory column.
TGridFill FillParameterRows(const std::vector<TParameterRow>& rows, TOptionCatalog& options,
                            const TTextLookup& lookupText);

// The value an edit stands for: the typed text, or for an option the value column that the
// drop-down list set.
std::string EditedValueText(const TGridRow& row);

struct TValueCheck {
    std::string Value;
    bool Corrected = false; // the value was replaced by a limit or shortened
};

// Checks an edited value against the row's type and limits. Integer types: a text that is no
// integer becomes the lower limit (0 without one), values are kept inside the limits and the
// register's range. "FLOAT": below min or no number becomes min (0 without one), above max
// becomes max. "ASCII..." types: cut to the length their digits name. Others: unchecked.
TValueCheck CheckEditedValue(std::string_view type, std::string_view min, std::string_view max,
                             std::string_view value);

struct TTracedStatement {
    std::string Sql;
    int Trace = 0;
};

enum TRefreshKind { rkNone, rkWiring, rkTree };

// "2" redraws the wiring view, any other non-empty text rebuilds the node tree.
TRefreshKind RefreshKindOf(std::string_view refresh);

// What an accepted edit does: nothing when it was corrected (the cells show the corrected text
// and a later edit stores it) or when it equals the value stored last; else the value update
// and its copy, the log lines and the refresh to run.
struct TEditStore {
    TValueCheck Check;
    bool Store = false;
    std::vector<TTracedStatement> Statements;
    std::vector<std::string> LogLines;
    TRefreshKind Refresh = rkNone;
};

// stored: the row as the database holds it (type, min, max, copyto, refresh, pid).
TEditStore EvaluateEdit(const TParameterRow& stored, std::string_view value,
                        std::string_view oldRowValue, int segmentId);

// The drop-down list's statements for an option-list row.
std::string OptionItemsQuery(std::string_view type);
std::string OptionChoiceQuery(std::string_view type, int itemIndex);

// The item to select: the last option whose value text equals the stored value, -1 for none.
int SelectedOptionIndex(const std::vector<std::string>& optionValues, std::string_view value);
