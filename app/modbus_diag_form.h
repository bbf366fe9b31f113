#pragma once

#include "app/translated_dialog.h"

// The Modbus diagnostics window of the device service interface.
class TModbusDiagForm : public TTranslatedDialog {
    Q_OBJECT
public:
    explicit TModbusDiagForm(QWidget* parent = nullptr);

protected:
    void ApplyTexts() override;
};
