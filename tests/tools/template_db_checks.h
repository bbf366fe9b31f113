#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

#include <string>
#include <vector>

// Consistency checks of a template database. Each returns one line per problem found, empty
// when the database is sound.
namespace TemplateDbChecks {

using TProblems = std::vector<std::string>;

// Every text id used by nodes, parameters, options and diagnostics has all three languages.
TProblems TextsComplete(SQLite::Database& db);
// Every option-list type names an mb_select row that has options.
TProblems OptionListsDefined(SQLite::Database& db);
// Block rows lie inside their block, at the register their offset names, with their type's
// width; rows with registers of their own have room for their type.
TProblems RowsFitTheirRegisters(SQLite::Database& db);
// Editable and label integer rows have integer limits around an integer factory value, FLOAT
// rows a factory value inside their limits, label rows an integer factory value.
TProblems FactoryValuesWithinLimits(SQLite::Database& db);
// At most 16 labels per node, and every cond names a label of its node.
TProblems LabelsAndConditions(SQLite::Database& db);
// Copy-to targets are columns of mb_segment or mb_node (and the reference column as well).
TProblems CopyToTargetsExist(SQLite::Database& db);
// Wiring rules use places 0 to 8, known picture names, and registers listed in mb_node.load.
TProblems WiringRulesValid(SQLite::Database& db);
// Each diagnostic format has exactly one floating-point directive.
TProblems DiagFormatsValid(SQLite::Database& db);
// The ids of the brands' add lists are device nodes, each with 2 to 8 sub-nodes.
TProblems BrandDevicesExist(SQLite::Database& db);
// Every device node holds its address and measuring point rows, and its device data the
// identification row that names the device node.
TProblems DeviceNodesComplete(SQLite::Database& db);
// Texts copied into statements carry no apostrophe; type names fit the user column.
TProblems CopiedTextsSafe(SQLite::Database& db);

} // namespace TemplateDbChecks
