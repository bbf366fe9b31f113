#include "app/address_form.h"

#include "i18n/strings_address.h"

TAddressForm::TAddressForm(QWidget* parent) : TTranslatedDialog("address", parent) {
    setObjectName(QStringLiteral("AddressForm"));
    ApplyTexts();
}

void TAddressForm::ApplyTexts() {
    setWindowTitle(rs_address::rsselectaddres.Text());
}
