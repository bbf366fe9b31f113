#pragma once

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/device_info.h"
#include "app/dialog_device_messages.h"
#include "app/modbus_setting.h"
#include "app/oem_info.h"
#include "app/qt_ui_thread.h"
#include "app/start_environment.h"
#include "db/database_set.h"
#include "db/node_manager.h"
#include "db/node_selection.h"
#include "devcomm/device_connection.h"
#include "devcomm/device_context.h"
#include "i18n/text_list.h"
#include "params/grid_rules.h"
#include "params/option_list_table.h"
#include "params/wiring_rules.h"

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTableWidget;
class QComboBox;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TParameterGridDelegate;

// The main window: owns the brand accessor, both databases, the node tree, the info panel and the
// notebook for the whole run, runs the delayed start sequence and the orderly shutdown.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const TStartEnvironment& env, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up state.
    bool ServiceMode() const { return Options_.ServiceMode; }
    bool SqlLogEnabled() const { return Options_.SqlLogEnabled; }
    bool PacketLogEnabled() const { return Options_.PacketLogEnabled; }
    const QString& ServiceLogPath() const { return Options_.ServiceLogPath; }
    bool TreeBuilding() const { return TreeBuilding_; }
    const QString& Language() const { return Language_; }
    int LanguageIndex() const { return LanguageIndexOf(Language_); }
    const QString& TemplateDbPath() const { return TemplateDbPath_; }
    const QString& UserDbPath() const { return UserDbPath_; }
    int CurrentSegmentId() const { return CurrentSegmentId_; }
    int SelectedNodeId() const { return SelectedNodeId_; }
    TModbusSetting& ModbusSetting() { return Settings_.Modbus; }
    const TAppSettings& Settings() const { return Settings_; }
    bool StartInfo() const { return Settings_.StartInfo; }
    TOemInfo& OemInfo() { return *OemInfo_; }
    TDatabaseSet& Db() { return *Db_; }

    // Service-mode trace of every query and statement, with the caller's number.
    void TraceQuery(const QString& queryName, const QString& sqlText, int n);
    void TraceExec(const QString& sql, int n);

    // Settings store and window state.
    void LoadSettings();
    void SaveSettings();
    void RefreshRecentFiles();
    void FormResize();
    bool IsOnScreen() const;
    void SetCaption();

    // Languages: the template texts of the current language, the resource strings of the main
    // window and its captions.
    void LoadTexts();
    QString LookupText(int id) const { return TextList_.LookupText(id); }
    void LoadOptionLists();
    const TOptionListTable& OptionListTable() const { return OptionListTable_; }
    void SetLanguage(const QString& code);
    void TranslateMainWindow(const QObject* sender);
    const QString& HelpBase() const { return HelpBase_; }

    // Node tree.
    void BuildTree(int segmentId);
    void SelectNodeByAddress(int address);
    void SetNodeIcon(int nodeId, int imageIndex);
    void NodeTreeViewSelectionChanged();
    void NodeTreeViewCollapsed(QTreeWidgetItem* item);
    void NodeTreeViewExpanded(QTreeWidgetItem* item);
    void DeviceInfoSpeedButtonClick();
    TDeviceInfo& DeviceInfo() { return DeviceInfo_; }
    const QString& SelectedDeviceName() const { return SelectedDeviceName_; }
    bool RefreshInProgress() const { return RefreshInProgress_; }

    // Parameter grid.
    void FillParameterGrid(int nodeId, int level);
    void ParameterStringGridSelectCell(int column, int row);
    void ParameterStringGridEditingDone();
    void ParameterStringGridResize();
    void SelectComboBoxChange();
    int CurrentRow() const { return CurrentRow_; }
    const QString& OldRowValue() const { return OldRowValue_; }
    bool PendingEdit() const { return PendingEdit_; }

    // Wiring view.
    void showBeschaltung();

    // Adding, deleting, backing up and restoring.
    void MenuItemAddNodeClick();
    void AddFormFinished(int result);
    void MenuItemDelNodeClick();
    void MenuItemBackupClick();
    void MenuItemRestoreClick();
    TNodeManager& NodeManager() { return *NodeManager_; }

    // Device communication: the connection settings applied to the ports, drivers and status
    // bar; the device commands (fromPopup: the tree item under the last mouse press).
    void ApplyConnectionSettings(const TModbusSetting& setting);
    void CloseConnection();
    void MenuItemCommunicationClick();
    void SpeedButtonReadFromDeviceClick(bool fromPopup = false);
    void SpeedButtonWriteToDeviceClick(bool fromPopup = false);
    void MenuItemChangeAddrClick(bool fromPopup = false);
    TDeviceConnection& DeviceConnection() { return Connection_; }
    QString StatusPanelText(int panel) const;
    // The connection in the status bar, in the current language.
    void ShowConnectionStatus();

    // Diagnostic menu: the two diagnostics windows.
    void MenuItemDiagDeviceClick();
    void MenuItemDiagModbusClick();

    // The one-shot start sequence armed by the constructor.
    QTimer& MainTimer() { return MainTimer_; }
    int MainTimerTag() const { return MainTimerTag_; }
    void MainTimerTimer();

    void MenuItemAboutClick();
    void MenuItemLangClick(int tag);
    void MenuItemWebsiteClick();
    void MenuManualClick();

    QTreeWidget* NodeTreeView() const { return NodeTreeView_; }
    QPlainTextEdit* Memo1() const { return Memo1_; }
    QLabel* NodeLabel() const { return NodeLabel_; }
    QPlainTextEdit* MemoInfoLabel() const { return MemoInfoLabel_; }
    QPlainTextEdit* MemoInfoValue() const { return MemoInfoValue_; }
    QTableWidget* ParameterStringGrid() const { return ParameterStringGrid_; }
    QComboBox* SelectComboBox() const { return SelectComboBox_; }
    QWidget* PanelBESCHALTUNG() const { return PanelBESCHALTUNG_; }
    QLabel* WiringImage(int place) const { return WiringImages_.at(static_cast<size_t>(place)); }
    QLabel* LabelDEVICE() const { return LabelDEVICE_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ParseSwitchesAndSelectBrand(const TStartEnvironment& env);
    void ApplyBrandToMenus();
    void SettleLanguage();
    void SetLanguageCode(const QString& code);
    void ConnectCommands();
    void ConnectTree();
    QTreeWidgetItem* AddTreeItem(QTreeWidgetItem* parent, const TTreeItem& item);
    void RestoreSelection(int rememberedId, bool segmentSelected);
    void ShowSelection(const TSelectionInfo& info);
    void ApplyCommandState(const TSelectionInfo& info);
    TInfoLabels InfoLabels() const;
    QString ProgName() const;
    // Runs a command handler; a database or conversion error ends it with an error box instead
    // of unwinding into the event loop.
    void Guarded(const std::function<void()>& handler);
    void Guarded(void (TMainForm::*handler)()) {
        Guarded([this, handler] { (this->*handler)(); });
    }
    void ConnectDatabaseHooks();
    void SetupDeviceCommands();
    void SetupDiagnosticCommands();
    bool PrepareDiagnostics();
    QTreeWidgetItem* CommandItem(bool fromPopup) const;
    std::optional<int> AskAddress(int proposed);
    void PrepareDeviceContext();
    void ReselectNode(int nodeId);
    void SetupParameterGrid();
    void SetupGridWidgets();
    void ClearParameterGrid();
    std::vector<TParameterRow> ReadParameterRows(int nodeId, int level);
    void ShowGridRow(int row, const TGridRow& cells);
    void ShowOptionList(int row, const TGridRow& cells);
    TParameterRow StoredParameterRow(const QString& id);
    void StoreEdit(const TEditStore& edit);
    QString CellText(int column, int row) const;
    void SetCellText(int column, int row, const QString& text);
    TGridRow GridRowAt(int row) const;
    QWidget* BuildWiringPanel(QWidget* parent);
    void RunStartSequence();
    bool OpenTemplateDatabase();
    void ApplySettingsToWindow();
    void GatherSettingsFromWindow();
    void ReportSettingsError(const QString& fileName);

    void BuildLayout();
    QWidget* BuildLeftPanel();
    QWidget* BuildInfoPanel();
    QWidget* BuildNotebook();
    void BuildStatusBar();
    void BuildMenus();
    void BuildFileMenu();
    void BuildDeviceMenu();
    void BuildDiagnosticMenu();
    void BuildSettingsMenu();
    void BuildHelpMenu();
    void BuildPopupMenu();
    QAction* AddItem(QMenu* menu, const char* objectName, const QString& caption);
    QAction* AddSeparator(QMenu* menu, const char* objectName = nullptr);
    QToolButton* AddSpeedButton(QWidget* parent, const char* objectName, const QIcon& icon);

    // The stack's user-interface thread exists before any port or driver and ends after them.
    TQtUIThread UIThread_;
    TDeviceConnection Connection_;
    TDialogDeviceMessages DeviceMessages_{this};
    TDeviceContext DeviceContext_{Connection_, DeviceMessages_, TDeviceTexts(), false, 16};
    TStartEnvironment Env_;
    TStartOptions Options_;
    std::unique_ptr<TOemInfo> OemInfo_;
    TDbHooks Hooks_;
    std::unique_ptr<TDatabaseSet> Db_;
    TAppSettings Settings_;
    bool TreeBuilding_ = true;
    bool RefreshInProgress_ = false;
    bool PendingEdit_ = false;
    bool SettingsErrorReported_ = false;
    QString Language_;
    QString TemplateDbPath_;
    QString UserDbPath_;
    int CurrentSegmentId_ = 1;
    int SelectedNodeId_ = -1;
    QTimer MainTimer_;
    int MainTimerTag_ = 0;
    TTextList TextList_;
    TOptionListTable OptionListTable_;
    QString HelpBase_;
    std::unique_ptr<TNodeManager> NodeManager_;
    TNodeTree Tree_;
    TDeviceInfo DeviceInfo_;
    QString SelectedDeviceName_;
    QPoint LastMousePos_{-1, -1};
    int CurrentRow_ = 0;
    QString OldRowValue_;

    // Widgets (owned by the window).
    QSplitter* SplitterMain_ = nullptr;
    QSplitter* SplitterRight_ = nullptr;
    QWidget* PanelLeft_ = nullptr;
    QWidget* PanelTreeHead_ = nullptr;
    QToolButton* DatabaseSpeedButton_ = nullptr;
    QToolButton* DeviceInfoSpeedButton_ = nullptr;
    QToolButton* SpeedButtonReadFromDevice_ = nullptr;
    QToolButton* SpeedButtonWriteToDevice_ = nullptr;
    QToolButton* SpeedButtonAddNode_ = nullptr;
    QTreeWidget* NodeTreeView_ = nullptr;
    QWidget* PanelInfo_ = nullptr;
    QLabel* NodeLabel_ = nullptr;
    QPlainTextEdit* MemoInfoLabel_ = nullptr;
    QPlainTextEdit* MemoInfoValue_ = nullptr;
    QWidget* PanelBESCHALTUNG_ = nullptr;
    std::array<QLabel*, kWiringPlaces> WiringImages_{};
    QLabel* LabelDEVICE_ = nullptr;
    QPushButton* PageToggleButton_ = nullptr;
    QStackedWidget* PageControl_ = nullptr;
    QTableWidget* ParameterStringGrid_ = nullptr;
    QComboBox* SelectComboBox_ = nullptr;
    TParameterGridDelegate* GridDelegate_ = nullptr;
    QPlainTextEdit* Memo1_ = nullptr;
    std::array<QLabel*, 3> StatusPanels_{};

    QMenu* PopupMenuNode_ = nullptr;
    QAction* Ntrenn_ = nullptr;
    std::array<QAction*, 4> RecentFileItems_{};
    QAction* MenuItemReadFromDevice_ = nullptr;
    QAction* MenuItemWriteToDevice_ = nullptr;
    QAction* MenuItemAddNode_ = nullptr;
    QAction* MenuItemDelNode_ = nullptr;
    QAction* MenuItemBackup_ = nullptr;
    QAction* MenuItemRestore_ = nullptr;
    QAction* MenuItemDiagModbus_ = nullptr;
    std::array<QAction*, 3> LanguageItems_{};
    QAction* MenuItemWebsite_ = nullptr;
    QAction* MenuManual_ = nullptr;
    QAction* MenuItemAbout_ = nullptr;
};
