#include "app/device_diag_form.h"

#include "i18n/strings_devicediag.h"
#include "params/decimal_text.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int kBevelLeft = 8;
constexpr int kValueHeight = 24;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;
constexpr int kNarrowWidth = 282;
constexpr int kCaptionWidth = 120;
constexpr int kValueWidth = 120;
constexpr int kMemoWidth = 220;

QFont TitleFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(21);
    font.setBold(true);
    return font;
}

QLabel* NewLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TDeviceDiagForm::TDeviceDiagForm(QWidget* parent) : TTranslatedDialog("devicediag", parent) {
    setObjectName(QStringLiteral("DeviceDiagForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Timer1_.setObjectName(QStringLiteral("Timer1"));
    connect(&Timer1_, &QTimer::timeout, this, &TDeviceDiagForm::Timer1Timer);

    TitleLabel_ = NewLabel(this, QStringLiteral("TitleLabel"));
    TitleLabel_->setFont(TitleFont());
    TitleLabel_->setGeometry(16, 8, 480, 30);
    FirmwareCaption_ = NewLabel(this, QStringLiteral("FirmwareCaption"));
    FirmwareLabel_ = NewLabel(this, QStringLiteral("FirmwareLabel"));
    MessstellenCaption_ = NewLabel(this, QStringLiteral("MessstellenCaption"));
    MessstellenLabel_ = NewLabel(this, QStringLiteral("MessstellenLabel"));
    Bevel1_ = new QFrame(this);
    Bevel1_->setObjectName(QStringLiteral("Bevel1"));
    Bevel1_->setFrameShape(QFrame::HLine);
    Bevel1_->setFrameShadow(QFrame::Sunken);
    CloseButton_ = new QPushButton(this);
    CloseButton_->setObjectName(QStringLiteral("CloseButton"));
    CloseButton_->setDefault(true);
    connect(CloseButton_, &QPushButton::clicked, this, &QDialog::accept);
    ResetLayout();
    ApplyTexts();
}

TDeviceDiagForm::~TDeviceDiagForm() = default;

void TDeviceDiagForm::ResetLayout() {
    FirmwareCaption_->setGeometry(16, 46, kCaptionWidth, 18);
    FirmwareLabel_->setGeometry(146, 46, 350, 18);
    MessstellenCaption_->setGeometry(16, 68, kCaptionWidth, 18);
    MessstellenLabel_->setGeometry(146, 68, 350, 18);
    Bevel1_->setGeometry(kBevelLeft, 94, kNarrowWidth - 2 * kBevelLeft, 2);
    CloseButton_->setGeometry((kNarrowWidth - kButtonWidth) / 2, 106, kButtonWidth, kButtonHeight);
    setFixedSize(kNarrowWidth, 106 + kButtonHeight + 10);
}

void TDeviceDiagForm::SetDevice(TDeviceContext* context, TDeviceInfo* info,
                                TDeviceDiagSources sources) {
    Context_ = context;
    Info_ = info;
    Sources_ = std::move(sources);
}

void TDeviceDiagForm::ApplyTexts() {
    setWindowTitle(Caption_.isEmpty() ? rs_devicediag::rsgeraetediagn.Text() : Caption_);
    TitleLabel_->setText(rs_devicediag::rsgeraetediagn.Text());
    FirmwareCaption_->setText(rs_devicediag::rsfirmware.Text());
    MessstellenCaption_->setText(rs_devicediag::rsmessstellenn.Text());
    CloseButton_->setText(rs_devicediag::rsschliessen.Text());
}

void TDeviceDiagForm::showEvent(QShowEvent* event) {
    TTranslatedDialog::showEvent(event);
    // The device is asked once the window is up, so a message about it has a window to close.
    QMetaObject::invokeMethod(this, &TDeviceDiagForm::FormShow, Qt::QueuedConnection);
}

void TDeviceDiagForm::hideEvent(QHideEvent* event) {
    FormHide();
    TTranslatedDialog::hideEvent(event);
}

void TDeviceDiagForm::FormShow() {
    if (!isVisible() || !Context_ || !Info_ || !Sources_.TemplateQuery || !Sources_.OptionLists)
        return;
    FirmwareLabel_->clear();
    MessstellenLabel_->clear();
    QCoreApplication::processEvents();
    Context_->Texts.NoDeviceFound = rs_devicediag::rsnodevicefoun.Text();
    Diagnostics_ = std::make_unique<TDeviceDiagnostics>(*Context_, *Info_, *Sources_.OptionLists,
                                                        Sources_.LookupText);
    Diagnostics_->NotAvailableText = rs_devicediag::rsdiagnosefunk.Text();
    Diagnostics_->OnIdentified = [this] { ShowIdentification(); };
    if (Diagnostics_->Start(*Sources_.TemplateQuery) != ddStarted) {
        Diagnostics_.reset();
        reject();
        return;
    }
    RemoveRowControls();
    BuildRowControls();
    Timer1_.setInterval(TDeviceDiagnostics::IntervalMs);
    Timer1_.start();
}

void TDeviceDiagForm::ShowIdentification() {
    TitleLabel_->setText(rs_devicediag::rsgeraetediagn.Text() + QLatin1Char(' ') +
                         Info_->DeviceName);
    FirmwareLabel_->setText(FirmwareText(Info_->SoftwareVersion));
    MessstellenLabel_->setText(Info_->MeasuringPoint.trimmed());
}

int TDeviceDiagForm::CaptionWidth() const {
    // Translated captions may be longer than the designed column: the column grows with them.
    int width = kCaptionWidth;
    const QFontMetrics metrics(font());
    for (const QLabel* caption : {FirmwareCaption_, MessstellenCaption_})
        width = std::max(width, metrics.horizontalAdvance(caption->text()) + 4);
    for (const TDiagRow& row : Diagnostics_->Rows())
        if (!row.IsBitSet() && Sources_.LookupText)
            width = std::max(
                width, metrics.horizontalAdvance(Sources_.LookupText(row.Register.textID)) + 4);
    return width;
}

void TDeviceDiagForm::BuildRowControls() {
    const int valueLeft = 16 + CaptionWidth() + 10;
    const int memoLeft = valueLeft + kValueWidth + 10;
    FirmwareCaption_->resize(valueLeft - 26, FirmwareCaption_->height());
    MessstellenCaption_->resize(valueLeft - 26, MessstellenCaption_->height());
    FirmwareLabel_->move(valueLeft, FirmwareLabel_->y());
    MessstellenLabel_->move(valueLeft, MessstellenLabel_->y());
    const int top = Bevel1_->geometry().bottom() + 10;
    int y = top;
    int y2 = top;
    for (const TDiagRow& row : Diagnostics_->Rows()) {
        const QString index = QString::number(Captions_.size() + 1);
        QLabel* caption = NewLabel(this, QStringLiteral("CaptionLabel") + index);
        caption->setText(Sources_.LookupText ? Sources_.LookupText(row.Register.textID)
                                             : QString());
        Captions_.push_back(caption);
        if (!row.IsBitSet()) {
            caption->setGeometry(16, y + 4, valueLeft - 26, 18);
            QLabel* value = NewLabel(this, QStringLiteral("ValueLabel") + index);
            value->setFont(TitleLabel_->font());
            value->setGeometry(valueLeft, y, kValueWidth, kValueHeight);
            Values_.push_back(value);
            y += kValueHeight + 6;
            continue;
        }
        caption->setGeometry(memoLeft, y2, kMemoWidth, 18);
        y2 += 18;
        const int height = BitListHeight(Diagnostics_->OptionListOf(row));
        auto* memo = new QPlainTextEdit(this);
        memo->setObjectName(QStringLiteral("Memo") + QString::number(Memos_.size() + 1));
        memo->setReadOnly(true);
        memo->setFocusPolicy(Qt::NoFocus);
        memo->setFrameShape(QFrame::StyledPanel);
        QPalette palette = memo->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        memo->setPalette(palette);
        memo->document()->setDocumentMargin(2);
        memo->setGeometry(memoLeft, y2, kMemoWidth, height);
        Memos_.push_back(memo);
        Values_.push_back(nullptr);
        y2 += height + 6;
    }
    const int buttonTop = std::max(y, y2);
    const int width = Memos_.empty() ? valueLeft + kValueWidth + 16 : memoLeft + kMemoWidth + 16;
    setFixedSize(width, buttonTop + kButtonHeight + 10);
    CloseButton_->move((width - kButtonWidth) / 2, buttonTop);
    Bevel1_->resize(width - 2 * kBevelLeft, Bevel1_->height());
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        w->show();
    // The window was centred for its size before the rows were known.
    if (QWidget* owner = parentWidget())
        move(owner->geometry().center() - rect().center());
}

void TDeviceDiagForm::RemoveRowControls() {
    for (QLabel* label : Captions_)
        delete label;
    for (QLabel* label : Values_)
        delete label;
    for (QPlainTextEdit* memo : Memos_)
        delete memo;
    Captions_.clear();
    Values_.clear();
    Memos_.clear();
    ResetLayout();
}

void TDeviceDiagForm::FormHide() {
    Timer1_.stop();
    // Hidden from within a tick (a message box of a failed read): the tick finishes first.
    if (InTimer_) {
        HidePending_ = true;
        return;
    }
    HidePending_ = false;
    if (Context_)
        Context_->Link.CloseConnection();
    Diagnostics_.reset();
    RemoveRowControls();
}

void TDeviceDiagForm::Timer1Timer() {
    // A request may process events while it waits; a tick arriving then is skipped.
    if (InTimer_ || !Diagnostics_)
        return;
    InTimer_ = true;
    const QChar point = QLatin1Char(DecimalSeparator());
    for (const TDiagValue& value : Diagnostics_->Refresh(point)) {
        if (value.BitIndex < 0) {
            if (QLabel* label = Values_.at(static_cast<size_t>(value.Index)))
                label->setText(value.Text);
        } else if (value.Changed) {
            Memos_.at(static_cast<size_t>(value.BitIndex))->setPlainText(value.Text);
        }
    }
    InTimer_ = false;
    if (HidePending_)
        FormHide();
}
