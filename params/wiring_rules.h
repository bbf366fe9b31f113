#pragma once

#include "params/parameter_row.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The wiring view's rules without widgets: which picture each of the nine places of the wiring
// panel shows for a device, decided by the rows of mb_png over the register values that the
// device's parameter rows hold.

// Places of the wiring panel: 0 the device body, 1 the single left terminal block, 2 to 5 the
// quarter-height blocks (left upper, left lower, right upper, right lower), 6 the rail
// connector, 7 and 8 the separator lines.
inline constexpr int kWiringPlaces = 9;

// One condition of a rule: the register (five-digit number; 40000 or less means none), the mask
// and the list of values the masked register may have.
struct TPngCondition {
    int modreg = 0;
    int64_t mask = 0;
    std::string vlist;
    bool Active() const { return modreg > 40000; }
};

// One row of mb_png.
struct TPngRule {
    int pos = 0;
    std::string png;
    std::array<TPngCondition, 3> Conditions;
};

struct TRegisterValue {
    uint16_t Value = 0;
    bool Found = false;
};

// The value that the rows give register r. rows: the device's parameter rows for the registers
// of its load list, ordered by modreg, label rows first, then sorting. A row applies when its
// condition names the label seen last and that label's value is in its list; a register split
// into byte rows ("0:1" high byte, "1:1" low byte) is put together from both. A row whose value
// is no integer gives the register no value.
TRegisterValue RegisterValue(const std::vector<TParameterRow>& rows, int r);

// A rule holds when every condition it has finds its register and the register AND the mask is
// an item of the condition's list.
bool RuleHolds(const TPngRule& rule, const std::vector<TParameterRow>& rows);

struct TWiringPictures {
    std::array<std::string, kWiringPlaces> Pictures; // picture name per place, empty for none
    std::vector<std::string> MemoLines;
};

// Applies the rules in order: place 0 gets the brand's device body, places 1 to 8 the rule's
// picture; a later rule for a place replaces an earlier one, other places are ignored.
TWiringPictures ChooseWiringPictures(const std::vector<TPngRule>& rules,
                                     const std::vector<TParameterRow>& rows,
                                     std::string_view deviceImage);

// The registers of mb_node.load as an SQL list: only the items that are integers, joined by ",".
std::string LoadRegisterList(std::string_view load);

// The three queries of the view: the device's load and type code (trace 18), its parameter rows
// for the load registers (trace 19) and the rules of its type (trace 20).
std::string WiringNodeQuery(int deviceId);
std::string WiringParameterQuery(int deviceId, std::string_view loadList);
std::string WiringRulesQuery(std::string_view devid);
