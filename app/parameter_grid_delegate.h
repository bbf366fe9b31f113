#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

// Draws and edits the cells of the parameter grid. The value column of a writable row is filled
// with the tooltip background so that the user sees what may be changed; the delegate keeps the
// in-place editor it opened so that a cell selection can take the typed text before it moves on.
class TParameterGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // rwColumn: the column holding the access letters of a row.
    TParameterGridDelegate(int valueColumn, int rwColumn, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), ValueColumn_(valueColumn), RwColumn_(rwColumn) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

    // Writes the text of an open editor into its cell; false when no editor is open.
    bool CommitOpenEditor();

private:
    int ValueColumn_;
    int RwColumn_;
    mutable QPointer<QWidget> Editor_;
    mutable QPersistentModelIndex EditorIndex_;
};
