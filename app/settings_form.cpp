#include "app/settings_form.h"

#include "i18n/strings_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int kBaudRates = 10;
constexpr int kFramings = 4;

// The item of a list, or the first one when the index lies outside it.
int IndexIn(const QComboBox* box, int index) {
    return index >= 0 && index < box->count() ? index : 0;
}
} // namespace

TSettingsForm::TSettingsForm(QWidget* parent) : TTranslatedDialog("settings", parent) {
    setObjectName(QStringLiteral("SettingsForm"));
    BuildWidgets();
    ApplyTexts();
}

QLabel* TSettingsForm::NewLabel(const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    return label;
}

void TSettingsForm::BuildWidgets() {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* picture = NewLabel("Image1");
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
    LabelTitle_ = NewLabel("LabelTitle");
    QFont bold = LabelTitle_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    LabelTitle_->setFont(bold);
    LabelProtocol_ = NewLabel("LabelProtocol");
    RadioButtonDevice_ = new QRadioButton(this);
    RadioButtonDevice_->setObjectName(QStringLiteral("RadioButtonDevice"));
    RadioButtonRTU_ = new QRadioButton(this);
    RadioButtonRTU_->setObjectName(QStringLiteral("RadioButtonRTU"));
    RadioButtonTCP_ = new QRadioButton(this);
    RadioButtonTCP_->setObjectName(QStringLiteral("RadioButtonTCP"));
    RadioButtonRTU_->setChecked(true);
    for (QRadioButton* radio : {RadioButtonDevice_, RadioButtonRTU_, RadioButtonTCP_})
        connect(radio, &QRadioButton::toggled, this, [this] { RadioButtonRTUChange(); });

    LabelHost_ = NewLabel("LabelHost");
    EditHost_ = new QLineEdit(this);
    EditHost_->setObjectName(QStringLiteral("EditHost"));
    LabelPort_ = NewLabel("LabelPort");
    EditPort_ = new QLineEdit(QStringLiteral("502"), this);
    EditPort_->setObjectName(QStringLiteral("EditPort"));
    LabelComPort_ = NewLabel("LabelComPort");
    ComboBoxComPort_ = new QComboBox(this);
    ComboBoxComPort_->setObjectName(QStringLiteral("ComboBoxComPort"));
    LabelBaudRate_ = NewLabel("LabelBaudRate");
    ComboBoxBaudRate_ = new QComboBox(this);
    ComboBoxBaudRate_->setObjectName(QStringLiteral("ComboBoxBaudRate"));
    for (int i = 0; i < kBaudRates; ++i)
        ComboBoxBaudRate_->addItem(QString::number(BaudRateValue(i)));
    ComboBoxBaudRate_->setCurrentIndex(6);
    LabelParity_ = NewLabel("LabelParity");
    ComboBoxParity_ = new QComboBox(this);
    ComboBoxParity_->setObjectName(QStringLiteral("ComboBoxParity"));
    ComboBoxParity_->addItems(FramingDialogTexts().split(QLatin1Char(',')));
    LabelTimeout_ = NewLabel("LabelTimeout");
    SpinEditTimeout_ = new QSpinBox(this);
    SpinEditTimeout_->setObjectName(QStringLiteral("SpinEditTimeout"));
    SpinEditTimeout_->setRange(0, 10000);
    SpinEditTimeout_->setSingleStep(100);
    SpinEditTimeout_->setValue(300);
    LabelMs_ = NewLabel("LabelMs");
    LabelMs_->setText(QStringLiteral("ms"));
    Buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(Buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* title = new QHBoxLayout;
    title->addWidget(picture);
    title->addWidget(LabelTitle_, 1);
    auto* protocol = new QHBoxLayout;
    for (QRadioButton* radio : {RadioButtonDevice_, RadioButtonRTU_, RadioButtonTCP_})
        protocol->addWidget(radio);
    protocol->addStretch(1);
    auto* timeout = new QHBoxLayout;
    timeout->addWidget(SpinEditTimeout_);
    timeout->addWidget(LabelMs_);
    timeout->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow(LabelProtocol_, protocol);
    form->addRow(LabelHost_, EditHost_);
    form->addRow(LabelPort_, EditPort_);
    form->addRow(LabelComPort_, ComboBoxComPort_);
    form->addRow(LabelBaudRate_, ComboBoxBaudRate_);
    form->addRow(LabelParity_, ComboBoxParity_);
    form->addRow(LabelTimeout_, timeout);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(title);
    layout->addLayout(form);
    layout->addWidget(Buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    RadioButtonRTUChange();
}

void TSettingsForm::ApplyTexts() {
    setWindowTitle(Caption_.isEmpty() ? rs_settings::rscommunicatio.Text() : Caption_);
    LabelTitle_->setText(rs_settings::rscommunicatio.Text());
    LabelProtocol_->setText(rs_settings::rsprotocol.Text());
    RadioButtonDevice_->setText(rs_settings::rsdevice.Text());
    RadioButtonRTU_->setText(rs_settings::rsmodbusrtu.Text());
    RadioButtonTCP_->setText(rs_settings::rsmodbustcp.Text());
    LabelHost_->setText(rs_settings::rshostipaddres.Text());
    LabelPort_->setText(rs_settings::rshostportnumb.Text());
    LabelComPort_->setText(rs_settings::rsserialport.Text());
    LabelBaudRate_->setText(rs_settings::rsbaudrate.Text());
    LabelParity_->setText(rs_settings::rsparitystopbi.Text());
    LabelTimeout_->setText(rs_settings::rstimeout.Text());
    Buttons_->button(QDialogButtonBox::Ok)->setText(rs_settings::rsok.Text());
    Buttons_->button(QDialogButtonBox::Cancel)->setText(rs_settings::rscancel.Text());
    const int framing = ComboBoxParity_->currentIndex();
    const QStringList texts = rs_settings::rsparityeven1s.Text().split(QLatin1Char(','));
    if (texts.size() == kFramings) {
        ComboBoxParity_->clear();
        ComboBoxParity_->addItems(texts);
        ComboBoxParity_->setCurrentIndex(IndexIn(ComboBoxParity_, framing));
    }
    RadioButtonRTUChange();
}

void TSettingsForm::SetCaption(const QString& caption) {
    Caption_ = caption;
    setWindowTitle(caption.isEmpty() ? rs_settings::rscommunicatio.Text() : caption);
}

void TSettingsForm::Fill(const TModbusSetting& setting, const QStringList& portItems) {
    if (setting.Protocol == ProtocolRTU)
        RadioButtonRTU_->setChecked(true);
    else if (setting.Protocol == ProtocolTCP)
        RadioButtonTCP_->setChecked(true);
    else
        RadioButtonDevice_->setChecked(true);
    EditHost_->setText(setting.Host);
    EditPort_->setText(QString::number(setting.Port));
    ComboBoxComPort_->clear();
    ComboBoxComPort_->addItems(portItems);
    // A stored port that no longer exists selects no item.
    ComboBoxComPort_->setCurrentIndex(ComboBoxComPort_->findText(
        setting.COMPort.isEmpty() ? QStringLiteral("-") : setting.COMPort));
    ComboBoxBaudRate_->setCurrentIndex(IndexIn(ComboBoxBaudRate_, setting.BaudRate));
    ComboBoxParity_->setCurrentIndex(IndexIn(ComboBoxParity_, setting.Parity));
    SpinEditTimeout_->setValue(setting.Timeout);
    RadioButtonRTUChange();
}

TSettingsDialogChoice TSettingsForm::Choice() const {
    TSettingsDialogChoice choice;
    choice.Protocol = RadioButtonRTU_->isChecked()   ? ProtocolRTU
                      : RadioButtonTCP_->isChecked() ? ProtocolTCP
                                                     : ProtocolDevice;
    choice.HostText = EditHost_->text();
    choice.PortText = EditPort_->text();
    choice.PortItem =
        ComboBoxComPort_->currentIndex() >= 0 ? ComboBoxComPort_->currentText() : QString();
    choice.BaudIndex = ComboBoxBaudRate_->currentIndex();
    choice.FramingIndex = ComboBoxParity_->currentIndex();
    choice.Timeout = SpinEditTimeout_->value();
    return choice;
}

void TSettingsForm::RadioButtonRTUChange() {
    const bool tcp = RadioButtonTCP_->isChecked();
    const bool rtu = RadioButtonRTU_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{LabelHost_, EditHost_, LabelPort_, EditPort_})
        w->setEnabled(tcp);
    LabelComPort_->setEnabled(!tcp);
    ComboBoxComPort_->setEnabled(!tcp);
    for (QWidget* w : std::initializer_list<QWidget*>{LabelBaudRate_, ComboBoxBaudRate_,
                                                      LabelParity_, ComboBoxParity_})
        w->setEnabled(rtu);
}
