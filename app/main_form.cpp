#include "app/main_form.h"

#include "app/about_form.h"
#include "app/app_windows.h"
#include "app/brand_resources.h"
#include "app/dialog_service.h"
#include "app/program_log.h"
#include "db/segment_tree.h"
#include "db/template_locator.h"
#include "db/user_database.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

namespace {
constexpr int kStartTag = 4;
constexpr int kStartDelayMs = 800;
constexpr const char* kLogFileName = "Parsetta.log";
constexpr const char* kSqlLogFileName = "sql.log";
} // namespace

TMainForm::TMainForm(const TStartEnvironment& env, QWidget* parent)
    : QMainWindow(parent), Env_(env), OemInfo_(std::make_unique<TOemInfo>()) {
    setObjectName(QStringLiteral("MainForm"));
    ConnectDatabaseHooks();
    Db_ = std::make_unique<TDatabaseSet>(&Hooks_);
    NodeManager_ = std::make_unique<TNodeManager>(*Db_);
    NodeManager_->SetReplaceTags(
        [this](const QString& text) { return OemInfo_->ReplaceTags(text); });
    BuildLayout();
    SetupDeviceCommands();
    SetupDiagnosticCommands();
    TreeBuilding_ = true;
    ParseSwitchesAndSelectBrand(env);
    Settings_ = TAppSettings();
    LoadSettings();
    const QIcon icon = BrandIcon(OemInfo_->GetValue(QStringLiteral("company_icon")));
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
    ApplyBrandToMenus();
    SettleLanguage();
    RefreshInProgress_ = false;
    SelectedNodeId_ = -1;
    CurrentSegmentId_ = 1;
    SetLogFile(ServiceMode() ? QLatin1String(kLogFileName) : QString());
    DatabaseSpeedButton_->setVisible(ServiceMode());
    DeviceInfoSpeedButton_->setVisible(ServiceMode());
    PageToggleButton_->setVisible(ServiceMode());
    PendingEdit_ = false;
    LogLine(QStringLiteral("EditActive false: INIT"));
    NodeLabel_->clear();
    TemplateDbPath_ = OemInfo_->GetValue(QStringLiteral("templateDB")) + QStringLiteral(".db");
    UserDbPath_ = UserDatabasePath(Settings_.AppDataPath,
                                   OemInfo_->GetValue(QStringLiteral("prog_company_short")),
                                   OemInfo_->GetValue(QStringLiteral("prog_name")),
                                   OemInfo_->GetValue(QStringLiteral("userDB")));
    SetupParameterGrid();
    if (!IsOnScreen())
        move(10, 10);
    RefreshRecentFiles();
    ApplyConnectionSettings(Settings_.Modbus);
    MainTimerTag_ = kStartTag;
    MainTimer_.setObjectName(QStringLiteral("MainTimer"));
    MainTimer_.setInterval(kStartDelayMs);
    connect(&MainTimer_, &QTimer::timeout, this, &TMainForm::MainTimerTimer);
    MainTimer_.start();
}

TMainForm::~TMainForm() {
    MainTimer_.stop();
    Db_->CloseAll();
}

void TMainForm::ParseSwitchesAndSelectBrand(const TStartEnvironment& env) {
    Options_ = ParseCommandLine(env.Arguments, *OemInfo_, &LogFolderExists);
#ifdef Q_OS_WIN
    const bool windows = true;
#else
    const bool windows = false;
#endif
    SelectBrand(*OemInfo_, ProgramNameFromPath(env.ProgramPath, windows));
    if (Options_.SqlLogEnabled)
        Db_->SetSqlLog(std::make_shared<TSqlLog>(QLatin1String(kSqlLogFileName)));
}

void TMainForm::ConnectDatabaseHooks() {
    Hooks_.TraceExec = [this](const QString& sql, int n) { TraceExec(sql, n); };
    Hooks_.TraceQuery = [this](const QString& name, const QString& sql, int n) {
        TraceQuery(name, sql, n);
    };
    Hooks_.LogLine = [](const QString& line) { LogLine(line); };
    Hooks_.MemoLine = [this](const QString& line) { Memo1_->appendPlainText(line); };
    Hooks_.ProcessEvents = [] { QApplication::processEvents(); };
}

void TMainForm::ApplyBrandToMenus() {
    LanguageItems_[0]->setVisible(OemInfo_->GetFlag(QStringLiteral("lang_de")));
    LanguageItems_[1]->setVisible(OemInfo_->GetFlag(QStringLiteral("lang_en")));
    LanguageItems_[2]->setVisible(OemInfo_->GetFlag(QStringLiteral("lang_fr")));
    MenuItemWebsite_->setVisible(OemInfo_->GetFlag(QStringLiteral("website_in_menu")));
    MenuManual_->setVisible(OemInfo_->GetFlag(QStringLiteral("manual_in_menu")));
    MenuItemAbout_->setText(QStringLiteral("Ueber Parsetta ") +
                            OemInfo_->GetValue(QStringLiteral("prog_name")) +
                            QStringLiteral(" ..."));
}

void TMainForm::SetupParameterGrid() {
    const int widths[] = {40, 120, 25, 100};
    // The access column is widened where the style's cell margins would cut its title short.
    const int rwWidth =
        ParameterStringGrid_->fontMetrics().horizontalAdvance(QStringLiteral("RW")) + 12;
    for (int column = 2; column <= 5; ++column) {
        ParameterStringGrid_->setColumnWidth(column, column == 4 ? std::max(widths[2], rwWidth)
                                                                 : widths[column - 2]);
        ParameterStringGrid_->setColumnHidden(column, !ServiceMode());
    }
    ParameterStringGrid_->setColumnWidth(0, Settings_.ParaView);
}

void TMainForm::TraceQuery(const QString& queryName, const QString& sqlText, int n) {
    if (!ServiceMode())
        return;
    const QString line =
        queryName + QLatin1Char('[') + QString::number(n) + QStringLiteral("]: ") + sqlText;
    Memo1_->appendPlainText(line.endsWith(QLatin1Char('\n')) ? line.chopped(1) : line);
    LogLine(line);
}

void TMainForm::TraceExec(const QString& sql, int n) {
    if (!ServiceMode())
        return;
    const QString line =
        QStringLiteral("Execute[") + QString::number(n) + QStringLiteral("]: ") + sql;
    Memo1_->appendPlainText(line);
    LogLine(line);
}

void TMainForm::SetCaption() {
    QString caption = OemInfo_->GetValue(QStringLiteral("prog_name"));
    if (OemInfo_->GetFlag(QStringLiteral("add_company")))
        caption += QStringLiteral(" :: ") + OemInfo_->GetValue(QStringLiteral("prog_company"));
    setWindowTitle(caption);
}

void TMainForm::MainTimerTimer() {
    if (MainTimerTag_ != kStartTag) {
        MainTimerTag_ = 0;
        return;
    }
    LogLine(QStringLiteral("START"));
    MainTimerTag_ = 0;
    MainTimer_.stop();
    RunStartSequence();
}

bool TMainForm::OpenTemplateDatabase() {
    const TTemplateLookup lookup = FindTemplateDatabase(TemplateDbPath_, Env_.TemplateFolders);
    if (!lookup.Found()) {
        LogLine(TemplateNotFoundMessage(lookup));
        TDialogService::Instance().ShowError(this, OemInfo_->GetValue(QStringLiteral("prog_name")),
                                             TemplateNotFoundMessage(lookup));
        return false;
    }
    TemplateDbPath_ = lookup.Path;
    Db_->SQLite3ConTpl.SetDatabaseName(TemplateDbPath_);
    Db_->SQLite3ConTpl.Open(false);
    return true;
}

void TMainForm::RunStartSequence() {
    try {
        if (!OpenTemplateDatabase()) {
            TreeBuilding_ = false;
            return;
        }
        LoadTexts();
        LoadOptionLists();
        SetLanguage(Language_);
        TranslateMainWindow(&MainTimer_);
        Db_->SQLite3Con.SetDatabaseName(UserDbPath_);
        OpenUserDatabase(*Db_, UserDbPath_);
        CurrentSegmentId_ = FirstSegmentId(*Db_, CurrentSegmentId_);
        BuildTree(CurrentSegmentId_);
        SelectNodeByAddress(-1);
    } catch (const std::exception& e) {
        TreeBuilding_ = false;
        TDialogService::Instance().ShowError(this, OemInfo_->GetValue(QStringLiteral("prog_name")),
                                             QString::fromUtf8(e.what()));
        return;
    }
    if (Settings_.StartInfo)
        MenuItemAboutClick();
}

void TMainForm::MenuItemAboutClick() {
    TAboutForm* about = AppWindows().AboutForm;
    if (!about)
        return;
    about->Fill(*OemInfo_, Settings_.StartInfo, Language_);
    about->disconnect(this);
    connect(about, &QDialog::finished, this,
            [this, about] { Settings_.StartInfo = about->StartInfoChecked(); });
    about->open();
}

void TMainForm::MenuItemWebsiteClick() {
    if (!OemInfo_->GetFlag(QStringLiteral("website_in_menu")))
        return;
    TDialogService::Instance().OpenUrl(QUrl(OemInfo_->GetValue(QStringLiteral("website"))));
}

void TMainForm::MenuManualClick() {
    if (!OemInfo_->GetFlag(QStringLiteral("manual_in_menu")))
        return;
    // The manual lies relative to the current folder, as the brand table names it.
    const QString manual = OemInfo_->GetValue(QStringLiteral("manual_pdf"));
    TDialogService::Instance().OpenUrl(
        QUrl::fromLocalFile(QDir::current().absoluteFilePath(manual)));
}

void TMainForm::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        TDialogService::Instance().ShowError(this, ProgName(), QString::fromUtf8(e.what()));
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    TreeBuilding_ = true;
    SaveSettings();
    Db_->CloseAll();
    CloseConnection();
    event->accept();
}
