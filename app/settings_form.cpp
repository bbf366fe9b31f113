#include "app/settings_form.h"

TSettingsForm::TSettingsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Communication Settings"));
}
