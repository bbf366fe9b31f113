// The main window's widgets and menus. Captions are the German source texts of the program.
#include "app/main_form.h"

#include "app/image_list_icon16.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kDesignWidth = 1240;
constexpr int kDesignHeight = 819;
constexpr int kGridRows = 49;
constexpr int kTreeHeadHeight = 30;
constexpr int kSpeedButtonSize = 23;
constexpr int kMinTreePanelWidth = 180;

QWidget* NamedPage(const char* name) {
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    return page;
}
} // namespace

void TMainForm::BuildLayout() {
    resize(kDesignWidth, kDesignHeight);
    SplitterMain_ = new QSplitter(Qt::Horizontal, this);
    SplitterMain_->setObjectName(QStringLiteral("SplitterMain"));
    SplitterMain_->addWidget(BuildLeftPanel());
    SplitterRight_ = new QSplitter(Qt::Vertical);
    SplitterRight_->setObjectName(QStringLiteral("SplitterRight"));
    SplitterRight_->addWidget(BuildInfoPanel());
    SplitterRight_->addWidget(BuildNotebook());
    SplitterRight_->setStretchFactor(1, 1);
    SplitterMain_->addWidget(SplitterRight_);
    SplitterMain_->setStretchFactor(1, 1);
    setCentralWidget(SplitterMain_);
    connect(SplitterMain_, &QSplitter::splitterMoved, this, &TMainForm::FormResize);
    connect(SplitterRight_, &QSplitter::splitterMoved, this, &TMainForm::FormResize);
    PanelTreeHead_->installEventFilter(this);
    PanelInfo_->installEventFilter(this);
    BuildStatusBar();
    BuildMenus();
    BuildPopupMenu();
    ConnectCommands();
    ConnectTree();
}

void TMainForm::ConnectCommands() {
    const auto on = [this](const char* name, void (TMainForm::*handler)()) {
        for (QAction* action : findChildren<QAction*>(QLatin1String(name)))
            connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    };
    on("MenuItemAddNode", &TMainForm::MenuItemAddNodeClick);
    on("PopupItemAddNode", &TMainForm::MenuItemAddNodeClick);
    on("MenuItemDelNode", &TMainForm::MenuItemDelNodeClick);
    on("PopupItemDelNode", &TMainForm::MenuItemDelNodeClick);
    on("MenuItemBackup", &TMainForm::MenuItemBackupClick);
    on("MenuItemRestore", &TMainForm::MenuItemRestoreClick);
    on("MenuItemWebsite", &TMainForm::MenuItemWebsiteClick);
    on("MenuManual", &TMainForm::MenuManualClick);
    connect(SpeedButtonAddNode_, &QToolButton::clicked, this,
            [this] { Guarded(&TMainForm::MenuItemAddNodeClick); });
    connect(DeviceInfoSpeedButton_, &QToolButton::clicked, this,
            [this] { Guarded(&TMainForm::DeviceInfoSpeedButtonClick); });
}

void TMainForm::ConnectTree() {
    NodeTreeView_->setIconSize(QSize(16, 16));
    NodeTreeView_->installEventFilter(this);
    NodeTreeView_->viewport()->installEventFilter(this);
    connect(NodeTreeView_, &QTreeWidget::currentItemChanged, this,
            [this] { Guarded(&TMainForm::NodeTreeViewSelectionChanged); });
    connect(NodeTreeView_, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { Guarded([&] { NodeTreeViewCollapsed(item); }); });
    connect(NodeTreeView_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { Guarded([&] { NodeTreeViewExpanded(item); }); });
}

QToolButton* TMainForm::AddSpeedButton(QWidget* parent, const char* objectName, const QIcon& icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setFixedSize(kSpeedButtonSize, kSpeedButtonSize);
    return button;
}

QWidget* TMainForm::BuildLeftPanel() {
    PanelLeft_ = new QWidget;
    PanelLeft_->setObjectName(QStringLiteral("PanelLeft"));
    // The right side has minimum sizes of its own; without one here a small window would squeeze
    // the tree to a sliver and hide the buttons above it.
    PanelLeft_->setMinimumWidth(kMinTreePanelWidth);
    PanelTreeHead_ = new QWidget(PanelLeft_);
    PanelTreeHead_->setObjectName(QStringLiteral("PanelTreeHead"));
    PanelTreeHead_->setFixedHeight(kTreeHeadHeight);
    QStyle* style = QApplication::style();
    DatabaseSpeedButton_ = AddSpeedButton(PanelTreeHead_, "DatabaseSpeedButton",
                                          style->standardIcon(QStyle::SP_DriveHDIcon));
    DeviceInfoSpeedButton_ = AddSpeedButton(PanelTreeHead_, "DeviceInfoSpeedButton",
                                            style->standardIcon(QStyle::SP_MessageBoxInformation));
    const TImageListIcon16& images = TImageListIcon16::Instance();
    SpeedButtonReadFromDevice_ =
        AddSpeedButton(PanelTreeHead_, "SpeedButtonReadFromDevice", images.Icon(kImageRead));
    SpeedButtonWriteToDevice_ =
        AddSpeedButton(PanelTreeHead_, "SpeedButtonWriteToDevice", images.Icon(kImageWrite));
    SpeedButtonAddNode_ = AddSpeedButton(PanelTreeHead_, "SpeedButtonAddNode",
                                         style->standardIcon(QStyle::SP_FileDialogNewFolder));
    DatabaseSpeedButton_->move(4, 3);
    DeviceInfoSpeedButton_->move(4 + kSpeedButtonSize + 2, 3);
    SpeedButtonReadFromDevice_->setToolTip(QStringLiteral("ReadFromDevice"));
    SpeedButtonWriteToDevice_->setToolTip(QStringLiteral("WriteToDevice"));
    SpeedButtonAddNode_->setToolTip(QStringLiteral("AddNode"));
    SpeedButtonReadFromDevice_->setEnabled(false);
    SpeedButtonWriteToDevice_->setEnabled(false);

    NodeTreeView_ = new QTreeWidget(PanelLeft_);
    NodeTreeView_->setObjectName(QStringLiteral("NodeTreeView"));
    NodeTreeView_->setHeaderHidden(true);
    NodeTreeView_->setRootIsDecorated(false);
    NodeTreeView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NodeTreeView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(NodeTreeView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenuNode_->popup(NodeTreeView_->viewport()->mapToGlobal(at));
    });

    auto* layout = new QVBoxLayout(PanelLeft_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelTreeHead_);
    layout->addWidget(NodeTreeView_);
    return PanelLeft_;
}

QWidget* TMainForm::BuildInfoPanel() {
    PanelInfo_ = new QWidget;
    PanelInfo_->setObjectName(QStringLiteral("PanelInfo"));
    PanelInfo_->setMinimumHeight(kMinInfoHeight);
    NodeLabel_ = new QLabel(PanelInfo_);
    NodeLabel_->setObjectName(QStringLiteral("NodeLabel"));
    QFont bold = NodeLabel_->font();
    bold.setBold(true);
    NodeLabel_->setFont(bold);
    MemoInfoLabel_ = new QPlainTextEdit(PanelInfo_);
    MemoInfoLabel_->setObjectName(QStringLiteral("MemoInfoLabel"));
    MemoInfoValue_ = new QPlainTextEdit(PanelInfo_);
    MemoInfoValue_->setObjectName(QStringLiteral("MemoInfoValue"));
    // Labels and values pair up line by line, so neither memo may wrap a line.
    for (QPlainTextEdit* memo : {MemoInfoLabel_, MemoInfoValue_}) {
        memo->setReadOnly(true);
        memo->setFrameShape(QFrame::NoFrame);
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    MemoInfoLabel_->setFixedWidth(170);
    MemoInfoValue_->setFixedWidth(340);
    PanelBESCHALTUNG_ = BuildWiringPanel(PanelInfo_);
    PageToggleButton_ = new QPushButton(QStringLiteral("Diagnose"), PanelInfo_);
    PageToggleButton_->setObjectName(QStringLiteral("PageToggleButton"));
    connect(PageToggleButton_, &QPushButton::clicked, this,
            [this] { PageControl_->setCurrentIndex(PageControl_->currentIndex() == 0 ? 1 : 0); });

    auto* memos = new QHBoxLayout;
    memos->addWidget(MemoInfoLabel_);
    memos->addWidget(MemoInfoValue_);
    memos->addStretch(1);
    auto* layout = new QVBoxLayout(PanelInfo_);
    layout->addWidget(NodeLabel_);
    layout->addLayout(memos, 1);
    layout->addWidget(PageToggleButton_, 0, Qt::AlignLeft);
    return PanelInfo_;
}

QWidget* TMainForm::BuildNotebook() {
    PageControl_ = new QStackedWidget;
    PageControl_->setObjectName(QStringLiteral("PageControl1"));

    QWidget* parameterPage = NamedPage("Parameter");
    ParameterStringGrid_ = new QTableWidget(kGridRows, 6, parameterPage);
    ParameterStringGrid_->setObjectName(QStringLiteral("ParameterStringGrid"));
    ParameterStringGrid_->setHorizontalHeaderLabels(
        {QStringLiteral("Parameter"), QStringLiteral("Wert"), QStringLiteral("ID"),
         QStringLiteral("Type"), QStringLiteral("RW"), QStringLiteral("Value")});
    ParameterStringGrid_->verticalHeader()->setVisible(false);
    ParameterStringGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    ParameterStringGrid_->horizontalHeader()->setStretchLastSection(false);
    SelectComboBox_ = new QComboBox(ParameterStringGrid_->viewport());
    SelectComboBox_->setObjectName(QStringLiteral("SelectComboBox"));
    SelectComboBox_->setMaxVisibleItems(12);
    SelectComboBox_->hide();
    SetupGridWidgets();
    auto* parameterLayout = new QVBoxLayout(parameterPage);
    parameterLayout->setContentsMargins(0, 0, 0, 0);
    parameterLayout->addWidget(ParameterStringGrid_);

    QWidget* diagnosePage = NamedPage("Diagnose");
    Memo1_ = new QPlainTextEdit(diagnosePage);
    Memo1_->setObjectName(QStringLiteral("Memo1"));
    Memo1_->setReadOnly(true);
    auto* diagnoseLayout = new QVBoxLayout(diagnosePage);
    diagnoseLayout->setContentsMargins(0, 0, 0, 0);
    diagnoseLayout->addWidget(Memo1_);

    PageControl_->addWidget(parameterPage);
    PageControl_->addWidget(diagnosePage);
    PageControl_->addWidget(NamedPage("Datenbank"));
    PageControl_->addWidget(NamedPage("Page1"));
    return PageControl_;
}

void TMainForm::BuildStatusBar() {
    const int widths[] = {50, 240, 25};
    for (int i = 0; i < 3; ++i) {
        StatusPanels_[i] = new QLabel(this);
        StatusPanels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels_[i]->setFixedWidth(widths[i]);
        statusBar()->addWidget(StatusPanels_[i]);
    }
    StatusPanels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->setSizeGripEnabled(false);
}

QAction* TMainForm::AddItem(QMenu* menu, const char* objectName, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

QAction* TMainForm::AddSeparator(QMenu* menu, const char* objectName) {
    QAction* action = menu->addSeparator();
    if (objectName)
        action->setObjectName(QLatin1String(objectName));
    return action;
}

void TMainForm::BuildMenus() {
    BuildFileMenu();
    BuildDeviceMenu();
    BuildDiagnosticMenu();
    BuildSettingsMenu();
    BuildHelpMenu();
}

void TMainForm::BuildFileMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Datei"));
    menu->setObjectName(QStringLiteral("MenuItemFile"));
    // Open, save, print and PDF export are kept in the menu but never shown.
    const QList<QAction*> hidden = {
        AddItem(menu, "MenuItemOpen", QStringLiteral("Oeffnen ...")),
        AddItem(menu, "MenuItemSave", QStringLiteral("Speichern")),
        AddSeparator(menu),
        AddItem(menu, "MenuItemPrint", QStringLiteral("Drucken ...")),
        AddItem(menu, "MenuItemExportPDF", QStringLiteral("Export als PDF")),
        AddSeparator(menu)};
    for (QAction* action : hidden)
        action->setVisible(false);
    MenuItemBackup_ = AddItem(menu, "MenuItemBackup", QStringLiteral("Datensicherung"));
    MenuItemRestore_ = AddItem(menu, "MenuItemRestore", QStringLiteral("Ruecksicherung"));
    AddSeparator(menu);
    QAction* exit = AddItem(menu, "MenuItemExit", QStringLiteral("Beenden"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    Ntrenn_ = AddSeparator(menu, "Ntrenn");
    const char* names[] = {"N1DateiAlt", "N2DateiAlt", "N3DateiAlt", "N4DateiAlt"};
    for (int i = 0; i < 4; ++i) {
        RecentFileItems_[i] = AddItem(menu, names[i], QString());
        RecentFileItems_[i]->setData(i + 1);
    }
}

void TMainForm::BuildDeviceMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Device"));
    menu->setObjectName(QStringLiteral("MenuItemDevice"));
    MenuItemAddNode_ = AddItem(menu, "MenuItemAddNode", QStringLiteral("AddNode"));
    MenuItemDelNode_ = AddItem(menu, "MenuItemDelNode", QStringLiteral("DelNode"));
    AddSeparator(menu);
    MenuItemReadFromDevice_ =
        AddItem(menu, "MenuItemReadFromDevice", QStringLiteral("ReadFromDevice"));
    MenuItemWriteToDevice_ =
        AddItem(menu, "MenuItemWriteToDevice", QStringLiteral("WriteToDevice"));
    MenuItemReadFromDevice_->setEnabled(false);
    MenuItemWriteToDevice_->setEnabled(false);
    AddSeparator(menu);
    AddItem(menu, "MenuItemChangeAddress", QStringLiteral("Change address"));
}

void TMainForm::BuildDiagnosticMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Diagnose"));
    menu->setObjectName(QStringLiteral("MenuItemDiagnostic"));
    AddItem(menu, "MenuItemDiagDevice", QStringLiteral("Geraetediagnose"));
    MenuItemDiagModbus_ = AddItem(menu, "MenuItemDiagModbus", QStringLiteral("Modbus Diagnose"));
    MenuItemDiagModbus_->setEnabled(false);
}

void TMainForm::BuildSettingsMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Einstellungen"));
    menu->setObjectName(QStringLiteral("MenuItemSettings"));
    LanguageItems_[0] = AddItem(menu, "MenuItemLangDE", QStringLiteral("Deutsch"));
    LanguageItems_[1] = AddItem(menu, "MenuItemLangEN", QStringLiteral("English"));
    LanguageItems_[2] = AddItem(menu, "MenuItemLangFR", QStringLiteral("Francais"));
    for (int tag = 0; tag < 3; ++tag) {
        LanguageItems_[tag]->setData(tag);
        connect(LanguageItems_[tag], &QAction::triggered, this,
                [this, tag] { MenuItemLangClick(tag); });
    }
    AddSeparator(menu);
    AddItem(menu, "MenuItemCommunication", QStringLiteral("Kommunikation ..."));
}

void TMainForm::BuildHelpMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Hilfe"));
    menu->setObjectName(QStringLiteral("MenuItemHelp"));
    AddItem(menu, "MenuItemOnlineHelp", QStringLiteral("Online-Hilfe"))->setVisible(false);
    MenuItemWebsite_ = AddItem(menu, "MenuItemWebsite", QStringLiteral("Website"));
    MenuManual_ = AddItem(menu, "MenuManual", QStringLiteral("Modbus Manual"));
    AddSeparator(menu, "MenuItemHelpSep1")->setVisible(false);
    AddItem(menu, "MenuItemUpdates", QStringLiteral("Nach Updates suchen"))->setVisible(false);
    AddSeparator(menu);
    MenuItemAbout_ = AddItem(menu, "MenuItemAbout", QStringLiteral("Ueber Parsetta"));
    connect(MenuItemAbout_, &QAction::triggered, this, &TMainForm::MenuItemAboutClick);
}

void TMainForm::BuildPopupMenu() {
    PopupMenuNode_ = new QMenu(this);
    PopupMenuNode_->setObjectName(QStringLiteral("PopupMenuNode"));
    AddItem(PopupMenuNode_, "PopupItemAddNode", QStringLiteral("AddNode"));
    AddItem(PopupMenuNode_, "PopupItemDelNode", QStringLiteral("DelNode"));
    AddSeparator(PopupMenuNode_);
    AddItem(PopupMenuNode_, "PopupItemReadFromDevice", QStringLiteral("ReadFromDevice"));
    AddItem(PopupMenuNode_, "PopupItemWriteToDevice", QStringLiteral("WriteToDevice"));
    AddSeparator(PopupMenuNode_);
    AddItem(PopupMenuNode_, "PopupItemChangeAddress", QStringLiteral("Change address"));
    AddSeparator(PopupMenuNode_);
    QAction* cancel = AddItem(PopupMenuNode_, "PopupItemCancel", QStringLiteral("Cancel"));
    connect(cancel, &QAction::triggered, PopupMenuNode_, &QMenu::close);
}
