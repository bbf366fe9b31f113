#pragma once

#include <QDialog>

// The dialog that changes a device's Modbus address.
class TAddressForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddressForm(QWidget* parent = nullptr);
};
