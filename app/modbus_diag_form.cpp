#include "app/modbus_diag_form.h"

#include "i18n/strings_modbusdiag.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

namespace {

constexpr int kCells = 16;
constexpr int kCellWidth = 31;
constexpr int kCellHeight = 22;
constexpr int kMargin = 12;
const QColor kGrey(204, 204, 204);
const QColor kOwn(0, 153, 160);
const QColor kSeen(117, 235, 156);

QFont TitleFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(21);
    font.setBold(true);
    return font;
}

QLabel* NewLabel(QWidget* parent, const char* name, bool bold = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QLabel* NewCounter(QWidget* parent, const char* name) {
    QLabel* label = NewLabel(parent, name);
    label->setFont(TitleFont());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameShape(QFrame::StyledPanel);
    return label;
}

// Station address 0 (broadcast) and 248 to 255 (reserved) cannot be device addresses.
bool Reserved(int address) {
    return address == 0 || address >= 248;
}

} // namespace

TModbusDiagForm::TModbusDiagForm(QWidget* parent) : TTranslatedDialog("modbusdiag", parent) {
    setObjectName(QStringLiteral("ModbusDiagForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Timer1_.setObjectName(QStringLiteral("Timer1"));
    connect(&Timer1_, &QTimer::timeout, this, &TModbusDiagForm::Timer1Timer);
    BuildWidgets();
    FormCreate();
    ApplyTexts();
}

TModbusDiagForm::~TModbusDiagForm() = default;

void TModbusDiagForm::BuildWidgets() {
    const int gridSize = (kCells + 1) * kCellWidth + 2;
    TitleLabel_ = NewLabel(this, "TitleLabel");
    TitleLabel_->setFont(TitleFont());
    TitleLabel_->setGeometry(kMargin, 8, gridSize, 30);
    SettingsCaption_ = NewLabel(this, "SettingsLabel", true);
    SettingsCaption_->setGeometry(kMargin, 44, gridSize, 18);
    ModbusBaudLabel_ = NewLabel(this, "ModbusBaudLabel");
    ModbusBaudLabel_->setGeometry(kMargin, 62, gridSize, 18);
    MapCaption_ = NewLabel(this, "AdrMapLabel", true);
    MapCaption_->setGeometry(kMargin, 88, gridSize, 18);

    AdrMapStringGrid_ = new QTableWidget(kCells, kCells, this);
    AdrMapStringGrid_->setObjectName(QStringLiteral("AdrMapStringGrid"));
    AdrMapStringGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    AdrMapStringGrid_->setSelectionMode(QAbstractItemView::NoSelection);
    AdrMapStringGrid_->setFocusPolicy(Qt::NoFocus);
    AdrMapStringGrid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AdrMapStringGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AdrMapStringGrid_->setShowGrid(true);
    AdrMapStringGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    AdrMapStringGrid_->horizontalHeader()->setDefaultSectionSize(kCellWidth);
    AdrMapStringGrid_->horizontalHeader()->setMinimumSectionSize(kCellWidth);
    AdrMapStringGrid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    AdrMapStringGrid_->verticalHeader()->setDefaultSectionSize(kCellHeight);
    AdrMapStringGrid_->verticalHeader()->setMinimumSectionSize(kCellHeight);
    AdrMapStringGrid_->verticalHeader()->setFixedWidth(kCellWidth);
    AdrMapStringGrid_->horizontalHeader()->setFixedHeight(kCellHeight);
    const int gridHeight = (kCells + 1) * kCellHeight + 2;
    AdrMapStringGrid_->setGeometry(kMargin, 108, gridSize, gridHeight);

    const int countersTop = 108 + gridHeight + 10;
    const int third = (gridSize - 2 * kMargin) / 3;
    TeleCaption_ = NewLabel(this, "TeleLabel");
    TeleSumCaption_ = NewLabel(this, "TeleSumLabel");
    ErrorCaption_ = NewLabel(this, "ErrorLabel");
    CounterTele_ = NewCounter(this, "CounterTele");
    CounterTeleSum_ = NewCounter(this, "CounterTeleSum");
    CounterError_ = NewCounter(this, "CounterError");
    const std::array<QLabel*, 3> captions{TeleCaption_, TeleSumCaption_, ErrorCaption_};
    const std::array<QLabel*, 3> counters{CounterTele_, CounterTeleSum_, CounterError_};
    for (size_t i = 0; i < 3; ++i) {
        const int left = kMargin + static_cast<int>(i) * (third + kMargin);
        captions[i]->setGeometry(left, countersTop, third, 18);
        counters[i]->setGeometry(left, countersTop + 18, third, 30);
    }

    const int bottom = countersTop + 18 + 30 + 12;
    RestImage_ = NewLabel(this, "RestImage");
    RefreshImage_ = NewLabel(this, "RefreshImage");
    RestImage_->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
    RefreshImage_->setPixmap(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(32, 32));
    for (QLabel* image : {RestImage_, RefreshImage_})
        image->setGeometry(kMargin, bottom, 32, 32);
    RefreshImage_->hide();

    CloseButton_ = new QPushButton(this);
    CloseButton_->setObjectName(QStringLiteral("CloseButton"));
    CloseButton_->setDefault(true);
    CloseButton_->setGeometry(kMargin + gridSize - 100, bottom + 2, 100, 28);
    connect(CloseButton_, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(gridSize + 2 * kMargin, bottom + 32 + kMargin);
}

void TModbusDiagForm::FormCreate() {
    for (int i = 0; i < kCells; ++i) {
        const QString digit = QString::number(i, 16).toUpper();
        AdrMapStringGrid_->setHorizontalHeaderItem(i,
                                                   new QTableWidgetItem(QLatin1Char('x') + digit));
        AdrMapStringGrid_->setVerticalHeaderItem(i, new QTableWidgetItem(digit + QLatin1Char('x')));
    }
    for (int address = 0; address < StationCount; ++address) {
        auto* item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        AdrMapStringGrid_->setItem(address / kCells, address % kCells, item);
    }
}

void TModbusDiagForm::SetDevice(TDeviceContext* context, TDeviceInfo* info) {
    Context_ = context;
    Info_ = info;
}

void TModbusDiagForm::ApplyTexts() {
    setWindowTitle(Caption_.isEmpty() ? rs_modbusdiag::rsmodbusdiagno.Text() : Caption_);
    TitleLabel_->setText(rs_modbusdiag::rsmodbusdiagno.Text());
    SettingsCaption_->setText(rs_modbusdiag::rsmodbuseinste.Text() + QLatin1Char(':'));
    MapCaption_->setText(rs_modbusdiag::rsadressmap.Text());
    TeleCaption_->setText(rs_modbusdiag::rstelegramme.Text());
    TeleSumCaption_->setText(rs_modbusdiag::rsgesamteteleg.Text());
    ErrorCaption_->setText(rs_modbusdiag::rsfehler.Text());
    CloseButton_->setText(rs_modbusdiag::rsschliessen.Text());
}

TModbusDiagTexts TModbusDiagForm::Texts() const {
    using namespace rs_modbusdiag;
    TModbusDiagTexts texts;
    texts.Address = rsadresse.Text();
    texts.Baud = rsbaud.Text();
    texts.ParityEven = rsparityeven.Text();
    texts.ParityOdd = rsparityodd.Text();
    texts.ParityNone = rsparitynone.Text();
    texts.Stopbits1 = rsstoppbits1.Text();
    texts.Stopbits2 = rsstoppbits2.Text();
    texts.ResponseDelay = rsresponsedela.Text();
    texts.Error = rsfehler.Text();
    texts.NoDeviceFound = rsnodevicefoun.Text();
    texts.NotAvailable = rsdiagnosefunk.Text();
    return texts;
}

void TModbusDiagForm::showEvent(QShowEvent* event) {
    TTranslatedDialog::showEvent(event);
    // The device is asked once the window is up, so a message about it has a window to close.
    QMetaObject::invokeMethod(this, &TModbusDiagForm::FormShow, Qt::QueuedConnection);
}

void TModbusDiagForm::hideEvent(QHideEvent* event) {
    FormHide();
    TTranslatedDialog::hideEvent(event);
}

void TModbusDiagForm::FormShow() {
    if (!isVisible() || !Context_ || !Info_)
        return;
    RefreshImage_->hide();
    RestImage_->show();
    for (QLabel* counter : {CounterTele_, CounterTeleSum_, CounterError_})
        counter->setText(QStringLiteral("0"));
    ModbusBaudLabel_->clear();
    ClearMap();
    Diagnostics_ = std::make_unique<TModbusDiagnostics>(*Context_, *Info_, Texts());
    if (Diagnostics_->Start() != bdStarted) {
        Diagnostics_.reset();
        reject();
        return;
    }
    ModbusBaudLabel_->setText(Diagnostics_->ReadSettings());
    ClearMap();
    Timer1_.setInterval(TModbusDiagnostics::FirstIntervalMs);
    Timer1_.start();
}

void TModbusDiagForm::FormHide() {
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
}

void TModbusDiagForm::Timer1Timer() {
    // A request may process events while it waits; a tick arriving then is skipped.
    if (InTimer_ || !Diagnostics_)
        return;
    InTimer_ = true;
    const TBusTick tick = Diagnostics_->Tick();
    Timer1_.setInterval(tick.NextIntervalMs);
    if (tick.ShowRefresh) {
        RestImage_->hide();
        RefreshImage_->show();
    }
    if (tick.HideRefresh) {
        RefreshImage_->hide();
        RestImage_->show();
    }
    if (tick.Counters)
        ShowCounters(*tick.Counters);
    else if (tick.Read)
        ClearMap();
    InTimer_ = false;
    if (HidePending_)
        FormHide();
}

void TModbusDiagForm::ShowCounters(const TBusCounters& counters) {
    CounterTele_->setText(QString::number(counters.Telegrams));
    CounterTeleSum_->setText(QString::number(counters.TotalTelegrams));
    CounterError_->setText(QString::number(counters.Errors));
    for (int address = 0; address < StationCount; ++address)
        AdrMapStringGridDrawCell(address, counters.Seen[static_cast<size_t>(address)]
                                              ? QString::number(address)
                                              : QString());
}

void TModbusDiagForm::ClearMap() {
    for (int address = 0; address < StationCount; ++address)
        AdrMapStringGridDrawCell(address, QString());
}

void TModbusDiagForm::AdrMapStringGridDrawCell(int address, const QString& text) {
    QTableWidgetItem* item = AdrMapStringGrid_->item(address / kCells, address % kCells);
    QFont font = AdrMapStringGrid_->font();
    QBrush background;
    QBrush foreground;
    QString shown = text;
    if (Reserved(address)) {
        background = kGrey;
    } else if (Info_ && address == Info_->Address && Diagnostics_) {
        // The device's own address is marked whether or not it has seen itself on the bus.
        background = kOwn;
        foreground = QColor(Qt::white);
        font.setBold(true);
        shown = QString::number(address);
    } else if (!text.isEmpty()) {
        background = kSeen;
    }
    item->setText(shown);
    item->setBackground(background);
    item->setForeground(foreground);
    item->setFont(font);
}
