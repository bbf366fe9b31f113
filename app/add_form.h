#pragma once

#include <QDialog>

// The add-node dialog: the list of device types the brand offers.
class TAddForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddForm(QWidget* parent = nullptr);
};
