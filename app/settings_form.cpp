#include "app/settings_form.h"

#include "i18n/strings_settings.h"

TSettingsForm::TSettingsForm(QWidget* parent) : TTranslatedDialog("settings", parent) {
    setObjectName(QStringLiteral("SettingsForm"));
    ApplyTexts();
}

void TSettingsForm::ApplyTexts() {
    setWindowTitle(rs_settings::rscommunicatio.Text());
}
