#include "app/device_diag_form.h"

#include "i18n/strings_devicediag.h"

TDeviceDiagForm::TDeviceDiagForm(QWidget* parent) : TTranslatedDialog("devicediag", parent) {
    setObjectName(QStringLiteral("DeviceDiagForm"));
    ApplyTexts();
}

void TDeviceDiagForm::ApplyTexts() {
    setWindowTitle(rs_devicediag::rsgeraetediagn.Text());
}
