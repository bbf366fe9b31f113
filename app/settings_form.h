#pragma once

#include "app/translated_dialog.h"

// The communication settings dialog.
class TSettingsForm : public TTranslatedDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* parent = nullptr);

protected:
    void ApplyTexts() override;
};
