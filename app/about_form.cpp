#include "app/about_form.h"

#include "app/app_settings.h"
#include "app/brand_resources.h"
#include "app/oem_info.h"
#include "i18n/format_pattern.h"
#include "i18n/strings_about.h"
#include "i18n/strings_main.h"
#include "i18n/translate_unit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), Image1_(new QLabel(this)),
      LabelTitle_(new QLabel(this)), LabelDescription_(new QLabel(this)),
      LabelVersion_(new QLabel(this)), Memo1_(new QPlainTextEdit(this)),
      CheckBoxStartinfo_(new QCheckBox(QStringLiteral("Diese Info beim Start zeigen"), this)),
      Button1_(new QPushButton(QStringLiteral("Close info"), this)) {
    setObjectName(QStringLiteral("AboutForm"));
    Image1_->setObjectName(QStringLiteral("Image1"));
    LabelTitle_->setObjectName(QStringLiteral("LabelTitle"));
    LabelDescription_->setObjectName(QStringLiteral("LabelDescription"));
    LabelVersion_->setObjectName(QStringLiteral("LabelVersion"));
    Memo1_->setObjectName(QStringLiteral("Memo1"));
    CheckBoxStartinfo_->setObjectName(QStringLiteral("CheckBoxStartinfo"));
    Button1_->setObjectName(QStringLiteral("Button1"));
    Image1_->setFixedSize(64, 64);
    QFont title = LabelTitle_->font();
    title.setPointSize(21);
    title.setBold(true);
    LabelTitle_->setFont(title);
    Memo1_->setReadOnly(true);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Image1_, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(LabelTitle_, 0, 1);
    layout->addWidget(LabelDescription_, 1, 1);
    layout->addWidget(LabelVersion_, 2, 1);
    layout->addWidget(Memo1_, 3, 0, 1, 2);
    layout->addWidget(CheckBoxStartinfo_, 4, 0, 1, 2);
    layout->addWidget(Button1_, 5, 1, Qt::AlignRight);
    connect(Button1_, &QPushButton::clicked, this, &QDialog::reject);
    resize(460, 340);
}

void TAboutForm::Fill(const TOemInfo& oem, bool startInfo, const QString& language) {
    Oem_ = &oem;
    StartInfo_ = startInfo;
    Language_ = language;
    QString caption = oem.GetValue(QStringLiteral("prog_name"));
    if (oem.GetFlag(QStringLiteral("add_company")))
        caption += QStringLiteral(" - ") + oem.GetValue(QStringLiteral("prog_company"));
    setWindowTitle(caption);
    LabelTitle_->setText(oem.GetValue(QStringLiteral("prog_name")));
    LabelVersion_->setText(FormatResource(rs_main::rsversion.Text() + QStringLiteral(" %s"),
                                          {QLatin1String(kProgramVersion)}));
}

void TAboutForm::showEvent(QShowEvent* event) {
    Activate();
    if (QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TAboutForm::Activate() {
    if (!Oem_)
        return;
    const TOemInfo& oem = *Oem_;
    Image1_->setPixmap(BrandPixmap(oem.GetValue(QStringLiteral("company_logo")))
                           .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    TranslateUnit(QStringLiteral("about"), Language_);
    LabelDescription_->setText(oem.GetValue(QStringLiteral("subtitle")));
    Button1_->setText(rs_about::rscloseinfo.Text());
    Memo1_->clear();
    Memo1_->appendPlainText(oem.GetValue(QStringLiteral("prog_name")) + QLatin1Char(' ') +
                            QLatin1String(kProgramVersion) + QLatin1Char('\n'));
    Memo1_->appendPlainText(oem.GetValue(QStringLiteral("about_msg"))
                                .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    CheckBoxStartinfo_->setChecked(StartInfo_);
    CheckBoxStartinfo_->setText(rs_about::rscbstartinfo.Text());
}

bool TAboutForm::StartInfoChecked() const {
    return CheckBoxStartinfo_->isChecked();
}
