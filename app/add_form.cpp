#include "app/add_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TAddForm::TAddForm(QWidget* parent)
    : QDialog(parent), Heading_(new QLabel(QStringLiteral("Add Node to Segment"), this)),
      ListBoxAddNode_(new QListWidget(this)), ButtonAdd_(new QPushButton(QStringLiteral("Add"))),
      ButtonCancel_(new QPushButton(QStringLiteral("Cancel"))) {
    setObjectName(QStringLiteral("AddForm"));
    setWindowTitle(QStringLiteral("Add Node"));
    ListBoxAddNode_->setObjectName(QStringLiteral("ListBoxAddNode"));
    ButtonAdd_->setObjectName(QStringLiteral("ButtonAdd"));
    ButtonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonAdd_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonAdd_);
    buttons->addWidget(ButtonCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading_);
    layout->addWidget(ListBoxAddNode_, 1);
    layout->addLayout(buttons);
    connect(ButtonAdd_, &QPushButton::clicked, this, &TAddForm::ButtonAddClick);
    connect(ButtonCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBoxAddNode_, &QListWidget::itemDoubleClicked, this, &TAddForm::ButtonAddClick);
    resize(360, 300);
}

void TAddForm::Fill(const std::vector<TAddNodeEntry>& entries) {
    ListBoxAddNode_->clear();
    Ids_.clear();
    for (const TAddNodeEntry& entry : entries) {
        Ids_.push_back(entry.Id);
        ListBoxAddNode_->addItem(entry.Text);
    }
    ListBoxAddNode_->setCurrentRow(-1);
    ListBoxAddNode_->clearSelection();
}

void TAddForm::ButtonAddClick() {
    const int row = ListBoxAddNode_->currentRow();
    if (row < 0 || row >= static_cast<int>(Ids_.size()) ||
        ListBoxAddNode_->selectedItems().isEmpty())
        return;
    Tag_ = Ids_[row];
    accept();
}
