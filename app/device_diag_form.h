#pragma once

#include "app/translated_dialog.h"

// The device diagnostics window: live values of the selected device.
class TDeviceDiagForm : public TTranslatedDialog {
    Q_OBJECT
public:
    explicit TDeviceDiagForm(QWidget* parent = nullptr);

protected:
    void ApplyTexts() override;
};
