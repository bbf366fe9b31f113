#include "app/modbus_diag_form.h"

TModbusDiagForm::TModbusDiagForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ModbusDiagForm"));
    setWindowTitle(QStringLiteral("Modbus Diagnose"));
}
