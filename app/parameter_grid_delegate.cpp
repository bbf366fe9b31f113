#include "app/parameter_grid_delegate.h"

#include "params/grid_rules.h"

#include <QApplication>
#include <QPainter>

void TParameterGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const QString rw = index.siblingAtColumn(RwColumn_).data().toString();
    const bool selected = option.state & QStyle::State_Selected;
    if (index.column() != ValueColumn_ || selected || !IsWritableRw(rw.toStdString())) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    painter->fillRect(option.rect, option.palette.color(QPalette::ToolTipBase));
    painter->setPen(option.palette.color(QPalette::Text));
    painter->setFont(option.font);
    const QRect text = option.rect.adjusted(2, 2, -2, 0);
    const QString shown =
        option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, text.width());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
    painter->restore();
}

QWidget* TParameterGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    Editor_ = editor;
    EditorIndex_ = index;
    return editor;
}

bool TParameterGridDelegate::CommitOpenEditor() {
    if (!Editor_ || !EditorIndex_.isValid())
        return false;
    setModelData(Editor_, const_cast<QAbstractItemModel*>(EditorIndex_.model()), EditorIndex_);
    return true;
}
