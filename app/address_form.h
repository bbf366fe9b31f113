#pragma once

#include "app/translated_dialog.h"

// The dialog that changes a device's Modbus address.
class TAddressForm : public TTranslatedDialog {
    Q_OBJECT
public:
    explicit TAddressForm(QWidget* parent = nullptr);

protected:
    void ApplyTexts() override;
};
