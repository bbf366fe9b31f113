#include "app/translated_dialog.h"

#include "app/app_windows.h"
#include "app/main_form.h"
#include "i18n/translate_unit.h"

TTranslatedDialog::TTranslatedDialog(const char* unit, QWidget* parent)
    : QDialog(parent), Unit_(unit) {}

void TTranslatedDialog::showEvent(QShowEvent* event) {
    if (const TMainForm* main = AppWindows().MainForm)
        TranslateUnit(QLatin1String(Unit_), main->Language());
    ApplyTexts();
    QDialog::showEvent(event);
}
