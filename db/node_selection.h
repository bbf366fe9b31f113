#pragma once

#include "db/node_tree.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

// Image indices of the read and write commands.
constexpr int kImageNoSelection = 41;
constexpr int kImageRead = 9;
constexpr int kImageWrite = 33;
constexpr int kImageWriteDisabled = 42;

// Row labels of the info panel, in the current language (resource strings of the main window).
struct TInfoLabels {
    QString DeviceType = QStringLiteral("Geraetetyp");
    QString ModbusAddress = QStringLiteral("Modbus-Adresse");
    QString NoAddress = QStringLiteral("keine");
    QString MeasuringPoint = QStringLiteral("Messstelle");
    QString Rfid = QStringLiteral("RFID-Kennung");
    QString DatabaseId = QStringLiteral("Datenbank-ID");
};

struct TSelectionContext {
    TLookupText LookupText;
    TInfoLabels Labels;
    bool ServiceMode = false;
};

struct TCommandState {
    bool Enabled = false;
    int ImageIndex = kImageNoSelection;
};

// What selecting a tree item shows: command states, node label, info rows (label, value), the
// node the grid and wiring view are to show, and the selected device's type name.
struct TSelectionInfo {
    TCommandState Read;
    TCommandState Write;
    // Empty optional: the label stays as it is (nothing selected).
    std::optional<QString> NodeLabel;
    std::vector<std::pair<QString, QString>> InfoRows;
    // -1 when nothing is selected.
    int SelectedNodeId = -1;
    int Level = -1;
    // The device the selection stands for (a sub-node stands for its device), -1 for none.
    int DeviceId = -1;
    QString DeviceName;
    // Device and sub-node items are expanded when selected.
    bool ExpandItem = false;
};

// Reads what the info panel shows for the item at path (none for no selection): the device row
// with the general query, or the segment row.
TSelectionInfo DescribeSelection(TDatabaseSet& db, const TNodeTree& tree,
                                 const std::optional<TTreePath>& path,
                                 const TSelectionContext& context);
