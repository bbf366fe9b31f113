// Settings store, recent files and the size-dependent layout of the main window.
#include "app/main_form.h"

#include "app/dialog_service.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace {

TSettingsDefaults MachineDefaults() {
    TSettingsDefaults defaults;
    defaults.Documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    defaults.AppData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return defaults;
}

std::unique_ptr<QSettings> OpenStore(const TOemInfo& oem) {
    const TSettingsKey key = SettingsKeyFromRegEntry(oem.GetValue(QStringLiteral("reg_entry")));
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       key.Organization, key.Application);
}

} // namespace

void TMainForm::LoadSettings() {
    {
        std::unique_ptr<QSettings> store = OpenStore(*OemInfo_);
        ReadSettingsStore(*store, Settings_, MachineDefaults());
    }
    Language_ = LanguageCode(Settings_.Language);
    ApplySettingsToWindow();
    SaveSettings();
}

void TMainForm::ApplySettingsToWindow() {
    move(Settings_.PosX, Settings_.PosY);
    resize(Settings_.DimX, Settings_.DimY);
    SplitterMain_->setSizes({Settings_.TreeView, std::max(1, Settings_.DimX - Settings_.TreeView)});
    SplitterRight_->setSizes(
        {Settings_.InfoHeight, std::max(1, Settings_.DimY - Settings_.InfoHeight)});
    ParameterStringGrid_->setColumnWidth(0, Settings_.ParaView);
}

void TMainForm::GatherSettingsFromWindow() {
    Settings_.PosX = x();
    Settings_.PosY = y();
    Settings_.DimX = width();
    Settings_.DimY = height();
    // Panel sizes are only real once the window has been laid out on screen.
    if (isVisible()) {
        Settings_.TreeView = PanelLeft_->width();
        Settings_.InfoHeight = std::max(PanelInfo_->height(), kMinInfoHeight);
        Settings_.ParaView = ParameterStringGrid_->columnWidth(0);
    }
    Settings_.Language = Language_;
}

void TMainForm::SaveSettings() {
    GatherSettingsFromWindow();
    std::unique_ptr<QSettings> store = OpenStore(*OemInfo_);
    WriteSettingsStore(*store, Settings_);
    store->sync();
    if (store->status() != QSettings::NoError)
        ReportSettingsError(store->fileName());
}

void TMainForm::ReportSettingsError(const QString& fileName) {
    if (SettingsErrorReported_)
        return;
    SettingsErrorReported_ = true;
    TDialogService::Instance().ShowError(
        this, OemInfo_->GetValue(QStringLiteral("prog_name")),
        QStringLiteral("Die Einstellungen konnten nicht gespeichert werden:\n") + fileName);
}

void TMainForm::RefreshRecentFiles() {
    Ntrenn_->setVisible(false);
    for (int i = 0; i < 4; ++i) {
        const QString& path = Settings_.Files[i];
        RecentFileItems_[i]->setText(RecentFileCaption(path));
        RecentFileItems_[i]->setToolTip(path);
        RecentFileItems_[i]->setVisible(!path.isEmpty());
    }
    Ntrenn_->setVisible(!Settings_.Files[0].isEmpty());
    SetCaption();
}

bool TMainForm::IsOnScreen() const {
    const QRect frame(x(), y(), width(), height());
    QScreen* nearest = QGuiApplication::screenAt(frame.center());
    if (!nearest) {
        int best = std::numeric_limits<int>::max();
        for (QScreen* screen : QGuiApplication::screens()) {
            const QPoint d = screen->geometry().center() - frame.center();
            if (d.manhattanLength() < best) {
                best = d.manhattanLength();
                nearest = screen;
            }
        }
    }
    return nearest == nullptr || ::IsOnScreen(frame, nearest->geometry());
}

void TMainForm::FormResize() {
    StatusPanels_[0]->setFixedWidth(
        std::max(0, width() - StatusPanels_[1]->width() - StatusPanels_[2]->width()));
    const int head = PanelTreeHead_->width();
    const int addLeft = head - SpeedButtonAddNode_->width() - 5;
    SpeedButtonAddNode_->move(addLeft, SpeedButtonAddNode_->y());
    SpeedButtonWriteToDevice_->move(addLeft - 52, SpeedButtonWriteToDevice_->y());
    SpeedButtonReadFromDevice_->move(addLeft - 52 - 24, SpeedButtonReadFromDevice_->y());
    PanelBESCHALTUNG_->move(PanelInfo_->width() - PanelBESCHALTUNG_->width() - 10,
                            PanelBESCHALTUNG_->y());
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // The tree head and the info panel change size with the splitters and the window's layout.
    if (event->type() == QEvent::Resize && (watched == PanelTreeHead_ || watched == PanelInfo_))
        FormResize();
    // The delete command works on the item under the last mouse press, of either button.
    if (event->type() == QEvent::MouseButtonPress && watched == NodeTreeView_->viewport())
        LastMousePos_ = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (event->type() == QEvent::Resize && watched == ParameterStringGrid_->viewport())
        ParameterStringGridResize();
    // Leaving the option list stores the choice; opening its popup is no leaving.
    if (event->type() == QEvent::FocusOut && watched == SelectComboBox_ &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        Guarded(&TMainForm::SelectComboBoxChange);
    if (event->type() == QEvent::KeyPress && watched == NodeTreeView_ &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F5) {
        Guarded([this] { BuildTree(CurrentSegmentId_); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
