#include "app/address_form.h"

#include "i18n/strings_address.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {
constexpr int kWidth = 250;
constexpr int kMargin = 12;
constexpr int kFieldWidth = 80;

QSpinBox* AddressField(QWidget* parent, const char* name) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QLatin1String(name));
    field->setRange(1, 247);
    field->setValue(1);
    return field;
}
} // namespace

TAddressForm::TAddressForm(QWidget* parent) : TTranslatedDialog("address", parent) {
    setObjectName(QStringLiteral("AddressForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    LabelAddress_ = new QLabel(this);
    LabelAddress_->setObjectName(QStringLiteral("LabelAddress"));
    SpinEditAddress_ = AddressField(this, "SpinEditAddress");
    LabelNewAddress_ = new QLabel(this);
    LabelNewAddress_->setObjectName(QStringLiteral("LabelNewAddress"));
    SpinEditNewAddress_ = AddressField(this, "SpinEditNewAddress");
    Bevel1_ = new QFrame(this);
    Bevel1_->setObjectName(QStringLiteral("Bevel1"));
    Bevel1_->setFrameShape(QFrame::HLine);
    Bevel1_->setFrameShadow(QFrame::Sunken);
    Buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons_->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(Buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    LabelAddress_->setGeometry(kMargin, 8, kWidth - 2 * kMargin, 20);
    SpinEditAddress_->setGeometry(kMargin, 30, kFieldWidth, 26);
    LabelNewAddress_->setGeometry(kMargin, 62, kWidth - 2 * kMargin, 20);
    SpinEditNewAddress_->setGeometry(kMargin, 84, kFieldWidth, 26);
    SetLayoutHeight(kOneFieldHeight);
    ApplyTexts();
}

void TAddressForm::SetLayoutHeight(int height) {
    Height_ = height;
    setFixedSize(kWidth, height);
    FormActivate();
}

void TAddressForm::FormActivate() {
    const bool two = TwoFields();
    LabelNewAddress_->setVisible(two);
    SpinEditNewAddress_->setVisible(two);
    const int bevel = two ? 122 : 68;
    Bevel1_->setGeometry(kMargin, bevel, kWidth - 2 * kMargin, 2);
    Buttons_->setGeometry(kMargin, bevel + 12, kWidth - 2 * kMargin, 28);
}

void TAddressForm::ApplyTexts() {
    FormActivate();
    setWindowTitle(rs_address::rsselectaddres.Text());
    LabelAddress_->setText(rs_address::rsselectaddres.Text());
    LabelNewAddress_->setText(rs_address::rsnewmodbusadd.Text());
    Buttons_->button(QDialogButtonBox::Ok)->setText(rs_address::rsok.Text());
    Buttons_->button(QDialogButtonBox::Cancel)->setText(rs_address::rscancel.Text());
}
