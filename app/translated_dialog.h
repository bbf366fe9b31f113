#pragma once

#include <QDialog>

// A dialog whose texts are resource strings of one unit ("settings", "address", ...): every time
// it is shown, the unit is translated for the main window's current language and the dialog
// takes its texts again, so a language switch shows without a restart.
class TTranslatedDialog : public QDialog {
    Q_OBJECT
public:
    TTranslatedDialog(const char* unit, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;
    // Puts the unit's current texts on the dialog's widgets.
    virtual void ApplyTexts() = 0;

private:
    const char* Unit_;
};
