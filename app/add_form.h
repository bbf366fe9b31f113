#pragma once

#include "db/node_manager.h"

#include <QDialog>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

// The add-node dialog: the device types the brand offers. Closing with Add (or a double click on
// an entry) hands the chosen template node id over in Tag; without a chosen entry it stays open.
class TAddForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddForm(QWidget* parent = nullptr);

    // Refills the list, with nothing chosen.
    void Fill(const std::vector<TAddNodeEntry>& entries);
    int Tag() const { return Tag_; }

    QListWidget* ListBoxAddNode() const { return ListBoxAddNode_; }
    QPushButton* ButtonAdd() const { return ButtonAdd_; }

private:
    void ButtonAddClick();

    QLabel* Heading_;
    QListWidget* ListBoxAddNode_;
    QPushButton* ButtonAdd_;
    QPushButton* ButtonCancel_;
    std::vector<int> Ids_;
    int Tag_ = 0;
};
