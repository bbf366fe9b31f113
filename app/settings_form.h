#pragma once

#include <QDialog>

// The communication settings dialog.
class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* parent = nullptr);
};
