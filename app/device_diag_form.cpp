#include "app/device_diag_form.h"

TDeviceDiagForm::TDeviceDiagForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DeviceDiagForm"));
    setWindowTitle(QStringLiteral("Geraetediagnose"));
}
