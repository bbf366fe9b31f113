// The node tree of the current segment.
#include "app/main_form.h"

#include "db/segment_tree.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTreeWidget>

namespace {
constexpr int kIdRole = Qt::UserRole;
}

void TMainForm::BuildTree(int segmentId) {
    QTreeWidgetItem* selected = NodeTreeView_->currentItem();
    const int rememberedId = selected ? selected->data(0, kIdRole).toInt() : -1;
    TreeBuilding_ = true;
    NodeTreeView_->setUpdatesEnabled(false);
    NodeTreeView_->clear();
    const std::optional<TSegmentRow> segment = ReadSegment(*Db_, segmentId);
    if (segment) {
        auto* root = new QTreeWidgetItem(NodeTreeView_, {segment->Caption});
        root->setData(0, kIdRole, segment->Id);
        root->setExpanded(true);
        if (rememberedId != -1 && segment->Id == rememberedId)
            NodeTreeView_->setCurrentItem(root);
        else if (rememberedId == -1 && PageControl_->currentIndex() == 0)
            NodeTreeView_->setCurrentItem(root);
    }
    if (!NodeTreeView_->currentItem())
        NodeLabel_->clear();
    NodeTreeView_->setUpdatesEnabled(true);
    TreeBuilding_ = false;
}

void TMainForm::SelectNodeByAddress(int address) {
    QTreeWidgetItem* segment = NodeTreeView_->topLevelItem(0);
    if (!segment)
        return;
    const QString prefix = QStringLiteral("[ ") + QString::number(address) + QStringLiteral(" ]");
    for (int i = 0; i < segment->childCount(); ++i) {
        if (segment->child(i)->text(0).startsWith(prefix)) {
            NodeTreeView_->setCurrentItem(segment->child(i));
            return;
        }
    }
    NodeTreeView_->setCurrentItem(segment);
}
