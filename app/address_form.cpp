#include "app/address_form.h"

TAddressForm::TAddressForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AddressForm"));
    setWindowTitle(QStringLiteral("Change address"));
}
