#include "app/modbus_diag_form.h"

#include "i18n/strings_modbusdiag.h"

TModbusDiagForm::TModbusDiagForm(QWidget* parent) : TTranslatedDialog("modbusdiag", parent) {
    setObjectName(QStringLiteral("ModbusDiagForm"));
    ApplyTexts();
}

void TModbusDiagForm::ApplyTexts() {
    setWindowTitle(rs_modbusdiag::rsmodbusdiagno.Text());
}
