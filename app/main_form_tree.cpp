// The node tree of the current segment, the info panel and the read and write command states.
#include "app/main_form.h"

#include "app/dialog_service.h"
#include "app/image_list_icon16.h"
#include "app/program_log.h"
#include "i18n/strings_main.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {
constexpr int kIdRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedImageRole = Qt::UserRole + 2;

int LevelOf(const QTreeWidgetItem* item) {
    int level = 0;
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        ++level;
    return level;
}

// The place of a widget item in the tree data it was built from.
TTreePath PathOf(const QTreeWidgetItem* item) {
    TTreePath path;
    if (!item->parent())
        return path;
    const QTreeWidgetItem* device = item;
    if (LevelOf(item) == 2) {
        device = item->parent();
        path.Sub = device->indexOfChild(const_cast<QTreeWidgetItem*>(item));
    }
    path.Device = device->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(device));
    return path;
}

// Normal and selected picture of an item in one icon: the view draws the selected one while
// the item is selected.
void SetItemImages(QTreeWidgetItem* item, int image, int selectedImage) {
    const TImageListIcon16& images = TImageListIcon16::Instance();
    QIcon icon;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Active}) {
        if (images.Has(image))
            icon.addPixmap(images.Icon(image).pixmap(16, 16), mode);
    }
    if (images.Has(selectedImage))
        icon.addPixmap(images.Icon(selectedImage).pixmap(16, 16), QIcon::Selected);
    item->setIcon(0, icon);
    item->setData(0, kImageRole, image);
    item->setData(0, kSelectedImageRole, selectedImage);
}

} // namespace

QTreeWidgetItem* TMainForm::AddTreeItem(QTreeWidgetItem* parent, const TTreeItem& item) {
    auto* widgetItem = parent ? new QTreeWidgetItem(parent, {item.Caption})
                              : new QTreeWidgetItem(NodeTreeView_, {item.Caption});
    widgetItem->setData(0, kIdRole, item.Id);
    widgetItem->setToolTip(0, item.Caption);
    SetItemImages(widgetItem, item.ImageIndex, item.SelectedImageIndex);
    return widgetItem;
}

void TMainForm::BuildTree(int segmentId) {
    QTreeWidgetItem* selected = NodeTreeView_->currentItem();
    const int rememberedId = selected ? selected->data(0, kIdRole).toInt() : -1;
    const bool segmentSelected = selected && !selected->parent();
    TreeBuilding_ = true;
    NodeTreeView_->setUpdatesEnabled(false);
    {
        const QSignalBlocker quiet(NodeTreeView_);
        NodeTreeView_->clear();
    }
    try {
        Tree_ = ReadNodeTree(*Db_, segmentId, [this](int id) { return LookupText(id); });
    } catch (...) {
        Tree_ = TNodeTree();
        NodeTreeView_->setUpdatesEnabled(true);
        TreeBuilding_ = false;
        throw;
    }
    if (Tree_.Segment) {
        QTreeWidgetItem* root = AddTreeItem(nullptr, *Tree_.Segment);
        for (const TTreeItem& device : Tree_.Segment->Children) {
            QTreeWidgetItem* deviceItem = AddTreeItem(root, device);
            for (const TTreeItem& sub : device.Children)
                AddTreeItem(deviceItem, sub);
            deviceItem->setExpanded(device.Expanded);
        }
        root->setExpanded(true);
    }
    RestoreSelection(rememberedId, segmentSelected);
    NodeTreeView_->setUpdatesEnabled(true);
    TreeBuilding_ = false;
}

void TMainForm::RestoreSelection(int rememberedId, bool segmentSelected) {
    std::optional<TTreePath> path =
        SelectionAfterBuild(Tree_, rememberedId, PageControl_->currentIndex() == 0);
    // Segment and node ids come from different tables: a selected segment stays selected rather
    // than passing the selection to the device that happens to carry the same number.
    if (segmentSelected && Tree_.Segment && Tree_.Segment->Id == rememberedId)
        path = TTreePath{};
    QTreeWidgetItem* item = nullptr;
    if (path) {
        item = NodeTreeView_->topLevelItem(0);
        if (item && path->Device >= 0)
            item = item->child(path->Device);
        if (item && path->Sub >= 0)
            item = item->child(path->Sub);
    }
    if (item) {
        NodeTreeView_->setCurrentItem(item);
        return;
    }
    if (rememberedId == -1)
        NodeLabel_->clear();
    // Nothing is selected any more: the commands follow.
    NodeTreeViewSelectionChanged();
}

TInfoLabels TMainForm::InfoLabels() const {
    TInfoLabels labels;
    labels.DeviceType = rs_main::rsdevicetype.Text();
    labels.ModbusAddress = rs_main::rsmodbusadress.Text();
    labels.NoAddress = rs_main::rskeine.Text();
    labels.MeasuringPoint = rs_main::rsmessstelleta.Text();
    labels.Rfid = rs_main::rsrfidkennungr.Text();
    return labels;
}

void TMainForm::NodeTreeViewSelectionChanged() {
    MemoInfoLabel_->clear();
    MemoInfoValue_->clear();
    QTreeWidgetItem* item = NodeTreeView_->currentItem();
    std::optional<TTreePath> path;
    if (item)
        path = PathOf(item);
    TSelectionContext context{[this](int id) { return LookupText(id); }, InfoLabels(),
                              ServiceMode()};
    const TSelectionInfo info = DescribeSelection(*Db_, Tree_, path, context);
    if (item && info.ExpandItem)
        item->setExpanded(true);
    // The commands follow the selection even when the grid or the wiring view fail to show it.
    ApplyCommandState(info);
    ShowSelection(info);
}

void TMainForm::ShowSelection(const TSelectionInfo& info) {
    if (info.NodeLabel)
        NodeLabel_->setText(*info.NodeLabel);
    for (const auto& [label, value] : info.InfoRows) {
        MemoInfoLabel_->appendPlainText(label);
        MemoInfoValue_->appendPlainText(value);
    }
    if (info.Level < 0) {
        ClearParameterGrid();
        PanelBESCHALTUNG_->hide();
        return;
    }
    if (info.Level > 0)
        SelectedDeviceName_ = info.DeviceName;
    SelectedNodeId_ = info.SelectedNodeId;
    FillParameterGrid(info.SelectedNodeId, info.Level);
    showBeschaltung();
}

void TMainForm::ApplyCommandState(const TSelectionInfo& info) {
    const TImageListIcon16& images = TImageListIcon16::Instance();
    const std::pair<QAction*, const TCommandState*> menus[] = {
        {MenuItemReadFromDevice_, &info.Read}, {MenuItemWriteToDevice_, &info.Write}};
    for (const auto& [action, state] : menus) {
        action->setEnabled(state->Enabled);
        action->setIcon(images.Icon(state->ImageIndex));
        action->setProperty("imageIndex", state->ImageIndex);
    }
    const std::pair<QToolButton*, const TCommandState*> buttons[] = {
        {SpeedButtonReadFromDevice_, &info.Read}, {SpeedButtonWriteToDevice_, &info.Write}};
    for (const auto& [button, state] : buttons) {
        button->setEnabled(state->Enabled);
        if (info.Level >= 0) {
            button->setIcon(images.Icon(state->ImageIndex));
            button->setProperty("imageIndex", state->ImageIndex);
        }
    }
}

void TMainForm::NodeTreeViewCollapsed(QTreeWidgetItem* item) {
    if (!TreeBuilding_)
        StoreCollapseState(*Db_, LevelOf(item), item->data(0, kIdRole).toInt(), true);
}

void TMainForm::NodeTreeViewExpanded(QTreeWidgetItem* item) {
    if (!TreeBuilding_)
        StoreCollapseState(*Db_, LevelOf(item), item->data(0, kIdRole).toInt(), false);
}

void TMainForm::SelectNodeByAddress(int address) {
    const std::optional<TTreePath> path = Tree_.FindDeviceByAddress(address);
    QTreeWidgetItem* segment = NodeTreeView_->topLevelItem(0);
    if (!path || !segment)
        return;
    QTreeWidgetItem* item = path->Device >= 0 ? segment->child(path->Device) : segment;
    NodeTreeView_->setCurrentItem(item ? item : segment);
}

void TMainForm::SetNodeIcon(int nodeId, int imageIndex) {
    QTreeWidgetItem* found = nullptr;
    for (QTreeWidgetItemIterator it(NodeTreeView_); *it; ++it) {
        if ((*it)->data(0, kIdRole).toInt() == nodeId)
            found = *it;
    }
    if (!found)
        return;
    const int level = LevelOf(found);
    LogLine(NodeIconLogLine(nodeId, imageIndex, level));
    if (level > 1)
        SetItemImages(found, imageIndex, imageIndex);
    else if (ServiceMode())
        TDialogService::Instance().ShowMessage(
            this, ProgName(), QStringLiteral("Falscher Icon soll gesetzt werden!"));
}

void TMainForm::DeviceInfoSpeedButtonClick() {
    TDialogService::Instance().ShowMessage(this, ProgName(), DeviceInfoMessage(DeviceInfo_));
}
