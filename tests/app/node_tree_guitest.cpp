#include "gui_fixture.h"

#include "app/about_form.h"
#include "app/add_form.h"
#include "app/app_windows.h"
#include "app/dialog_service.h"
#include "app/popup_form.h"
#include "app/settings_form.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <SQLiteCpp/SQLiteCpp.h>

namespace {

constexpr int kImageRole = Qt::UserRole + 1;

QStringList Rows(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement q(db, sql.toStdString());
    QStringList rows;
    while (q.executeStep()) {
        QStringList columns;
        for (int i = 0; i < q.getColumnCount(); ++i)
            columns << QString::fromUtf8(q.getColumn(i).getText());
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}

void Exec(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
    db.exec(sql.toStdString());
}

QStringList Captions(const QTreeWidgetItem* item) {
    QStringList captions;
    for (int i = 0; i < item->childCount(); ++i)
        captions << item->child(i)->text(0);
    return captions;
}

QTreeWidgetItem* Segment(TMainForm& form) {
    return form.NodeTreeView()->topLevelItem(0);
}

// Runs the add command as the user does: opens the dialog, picks the entry that starts with
// text and presses Add.
void AddThroughCommand(TMainForm& form, const QString& text) {
    FindAction(&form, "MenuItemAddNode")->trigger();
    TAddForm* add = AppWindows().AddForm;
    QTRY_VERIFY(add->isVisible());
    const QList<QListWidgetItem*> hits =
        add->ListBoxAddNode()->findItems(text, Qt::MatchStartsWith);
    QCOMPARE(hits.size(), 1);
    add->ListBoxAddNode()->setCurrentItem(hits[0]);
    QTest::mouseClick(add->ButtonAdd(), Qt::LeftButton);
    QVERIFY(!add->isVisible());
}

void PressOn(TMainForm& form, QTreeWidgetItem* item, Qt::MouseButton button = Qt::LeftButton) {
    QTreeWidget* tree = form.NodeTreeView();
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mousePress(tree->viewport(), button, {}, at);
    QTest::mouseRelease(tree->viewport(), button, {}, at);
}

QStringList MemoLines(QPlainTextEdit* memo) {
    return memo->toPlainText().split(QLatin1Char('\n'));
}

QString UserDb(const TGuiFixture& f) {
    return f.DataHome() + QStringLiteral("/KOLVANE/RERUDADadivod/kolvanebus.db");
}

} // namespace

class TNodeTreeTest : public QObject {
    Q_OBJECT
private slots:
    void addCopiesTheTemplateAndDeleteFromASubNodeRemovesTheDevice();
    void addListFollowsTheBrandAndCancelAddsNothing();
    void treeOrderCaptionsAndSelection();
    void collapseStateSurvivesF5AndRestart();
    void languageMenuSwitchesMenusGridAndTree();
    void backupThenRestoreGivesBackTheRows();
    void restoringAFileThatIsNoUserDatabaseChangesNothing();
    void aboutBoxUnderTwoBrandsAndInFrench();
    void websiteManualIconsAndDeviceInfo();
};

void TNodeTreeTest::addCopiesTheTemplateAndDeleteFromASubNodeRemovesTheDevice() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({"/KOLVANE"});
    AddThroughCommand(*form, "KUT 10");
    const QString db = UserDb(f);

    QCOMPARE(Rows(db, "SELECT id, pid, parentID, title, name, fullnameID, devid, icon, icon_active"
                      " FROM mb_node WHERE parentID=0"),
             QStringList({"1|1|0|KUT 10 (ab V1.6)|KUT 10|10|000D|20|21"}));
    QCOMPARE(Rows(db, "SELECT pid, parentID, sorting, name, icon FROM mb_node WHERE parentID=1"
                      " ORDER BY sorting"),
             QStringList({"1|1|1|Input|22", "1|1|2|Relay 'K1'|25", "1|1|3|Device data|27"}));
    // Every parameter row of each template node, the apostrophe kept; the common rows stay.
    QCOMPARE(Rows(db, "SELECT n.name, p.modreg, p.value, p.label FROM mb_parameter p JOIN mb_node"
                      " n ON n.id=p.pid ORDER BY n.id, p.sorting"),
             QStringList({"KUT 10|45010|1|", "KUT 10|45151||", "Input|41001|0|IT",
                          "Input|41003|10|", "Relay 'K1'|41201|it's set|R1"}));
    QCOMPARE(Rows(db, "SELECT count(*) FROM mb_parameter WHERE pid=0"), QStringList({"2"}));
    QCOMPARE(AppWindows().PopupForm->Balken()->maximum(), 4);
    QVERIFY(!AppWindows().PopupForm->isVisible());
    QVERIFY(form->Memo1()->toPlainText().contains("Execute[11]: INSERT INTO mb_node"));

    QTreeWidgetItem* device = Segment(*form)->child(0);
    QCOMPARE(device->text(0), QStringLiteral("[ - ]  KUT 10: "));
    QCOMPARE(Captions(device), QStringList({"Eingang", "Relais", "Gerätedaten"}));

    // Cancelling the question deletes nothing.
    PressOn(*form, device->child(1), Qt::RightButton);
    TDialogService::Instance().QueueAnswer(false);
    FindAction(form.get(), "MenuItemDelNode")->trigger();
    QCOMPARE(Rows(db, "SELECT count(*) FROM mb_node"), QStringList({"4"}));

    TDialogService::Instance().ClearMessages();
    PressOn(*form, Segment(*form)->child(0)->child(1), Qt::RightButton);
    TDialogService::Instance().QueueAnswer(true);
    FindAction(form.get(), "PopupItemDelNode")->trigger();
    QCOMPARE(TDialogService::Instance().Messages(),
             QStringList({"Eintrag löschen [ - ]  KUT 10: ?"}));
    QCOMPARE(Rows(db, "SELECT count(*) FROM mb_node"), QStringList({"0"}));
    QCOMPARE(Rows(db, "SELECT DISTINCT pid FROM mb_parameter"), QStringList({"0"}));
    QCOMPARE(Segment(*form)->childCount(), 0);
    QVERIFY(form->Memo1()->toPlainText().contains(
        "SQL: DELETE FROM mb_parameter WHERE pid IN(1,2,3,4)"));

    // A press on the segment item deletes nothing and asks nothing.
    AddThroughCommand(*form, "KAI 4");
    TDialogService::Instance().ClearMessages();
    PressOn(*form, Segment(*form));
    TDialogService::Instance().QueueAnswer(true);
    FindAction(form.get(), "MenuItemDelNode")->trigger();
    QVERIFY(TDialogService::Instance().Messages().isEmpty());
    QCOMPARE(Segment(*form)->childCount(), 1);
    // A device without sub-nodes still gets its parameter rows, with a progress maximum of 1.
    QCOMPARE(AppWindows().PopupForm->Balken()->maximum(), 1);
    QCOMPARE(Rows(db, "SELECT p.modreg FROM mb_parameter p JOIN mb_node n ON n.id=p.pid"),
             QStringList({"45010"}));
}

void TNodeTreeTest::addListFollowsTheBrandAndCancelAddsNothing() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({});
    FindAction(form.get(), "MenuItemAddNode")->trigger();
    TAddForm* add = AppWindows().AddForm;
    QTRY_VERIFY(add->isVisible());
    QListWidget* list = add->ListBoxAddNode();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("KAI 4 Analogeingang"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("KUT 10 Universaltransmitter (ab V1.6)"));
    QVERIFY(list->selectedItems().isEmpty());
    // Add without a chosen entry adds nothing and leaves the dialog open.
    QTest::mouseClick(add->ButtonAdd(), Qt::LeftButton);
    QVERIFY(add->isVisible());
    list->setCurrentRow(1);
    add->findChild<QPushButton*>("ButtonCancel")->click();
    QVERIFY(!add->isVisible());
    QCOMPARE(Rows(UserDb(f), "SELECT count(*) FROM mb_node"), QStringList({"0"}));
}

void TNodeTreeTest::treeOrderCaptionsAndSelection() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({"/KOLVANE"});
    for (int i = 0; i < 3; ++i)
        AddThroughCommand(*form, "KUT 10");
    AddThroughCommand(*form, "KAI 4");
    const QString db = UserDb(f);
    // Addresses 10, 2, 0 and 2 again, added in that order; the second device at 2 has no tag.
    Exec(db, "UPDATE mb_node SET addr=10, tag='TT-110' WHERE id=1;"
             "UPDATE mb_node SET addr=2, tag='TT-102' WHERE id=5;"
             "UPDATE mb_node SET addr=0, tag='TT-100' WHERE id=9;"
             "UPDATE mb_node SET addr=2, tag='  ', rfid='4711-0815' WHERE id=13;"
             "UPDATE mb_node SET tag='Eingang' WHERE id=2;"
             "UPDATE mb_node SET tag='PT100 Kessel' WHERE id=6;");
    QTest::keyClick(form->NodeTreeView(), Qt::Key_F5);

    QCOMPARE(Captions(Segment(*form)),
             QStringList({"[ - ]  KUT 10: TT-100", "[ 2 ]  KAI 4: 4711-0815",
                          "[ 2 ]  KUT 10: TT-102", "[ 10 ]  KUT 10: TT-110"}));
    QCOMPARE(Captions(Segment(*form)->child(3)), QStringList({"Eingang", "Relais", "Gerätedaten"}));
    QTreeWidgetItem* sub = Segment(*form)->child(2)->child(0);
    QCOMPARE(sub->text(0), QStringLiteral("Eingang: PT100 Kessel"));
    QCOMPARE(sub->data(0, kImageRole).toInt(), 22);
    QCOMPARE(Segment(*form)->data(0, kImageRole).toInt(), 30);

    form->NodeTreeView()->setCurrentItem(sub);
    QCOMPARE(form->NodeLabel()->text(),
             QStringLiteral("[ 2 ]  KUT 10: TT-102   |   Eingang: PT100 Kessel"));
    QCOMPARE(
        MemoLines(form->MemoInfoLabel()),
        QStringList({"Gerätetyp", "Modbus-Adresse", "Messstelle", "RFID-Kennung", "Datenbank-ID"}));
    QCOMPARE(MemoLines(form->MemoInfoValue()),
             QStringList({"KUT 10 Universaltransmitter (ab V1.6)", "2", "TT-102", "", "6"}));
    QCOMPARE(form->SelectedNodeId(), 6);
    QCOMPARE(form->SelectedDeviceName(), QStringLiteral("KUT 10"));
    QAction* write = FindAction(form.get(), "MenuItemWriteToDevice");
    QVERIFY(write->isEnabled());
    QCOMPARE(write->property("imageIndex").toInt(), 33);
    QCOMPARE(FindAction(form.get(), "MenuItemReadFromDevice")->property("imageIndex").toInt(), 9);

    // The segment: read only, write disabled with its own picture.
    form->NodeTreeView()->setCurrentItem(Segment(*form));
    QVERIFY(!write->isEnabled());
    QCOMPARE(write->property("imageIndex").toInt(), 42);
    QVERIFY(form->findChild<QWidget*>("SpeedButtonReadFromDevice")->isEnabled());
    QCOMPARE(MemoLines(form->MemoInfoLabel()), QStringList({"Messstelle", "Datenbank-ID"}));

    // A device at address 0 has no address in the info panel.
    form->NodeTreeView()->setCurrentItem(Segment(*form)->child(0));
    QCOMPARE(MemoLines(form->MemoInfoValue())[1], QStringLiteral("keine"));

    // Selecting by address 1 does not take the device at 10; 2 takes the first device at 2.
    form->SelectNodeByAddress(1);
    QCOMPARE(form->NodeTreeView()->currentItem(), Segment(*form));
    form->SelectNodeByAddress(2);
    QCOMPARE(form->NodeTreeView()->currentItem(), Segment(*form)->child(1));

    // A rebuild keeps the selected sub-node selected.
    form->NodeTreeView()->setCurrentItem(Segment(*form)->child(3)->child(2));
    QTest::keyClick(form->NodeTreeView(), Qt::Key_F5);
    QCOMPARE(form->NodeTreeView()->currentItem()->data(0, Qt::UserRole).toInt(), 4);
}

void TNodeTreeTest::collapseStateSurvivesF5AndRestart() {
    TGuiFixture f;
    f.MakeTemplate();
    {
        auto form = f.Start({});
        AddThroughCommand(*form, "KUT 10");
        AddThroughCommand(*form, "KAI 4");
        QTreeWidgetItem* ut = Segment(*form)->child(1);
        QVERIFY(ut->isExpanded());
        form->NodeTreeView()->collapseItem(ut);
        QCOMPARE(Rows(UserDb(f), "SELECT collapse FROM mb_node WHERE id=1"), QStringList({"1"}));
        // Collapsing the segment item stores nothing (its id is no node id).
        form->NodeTreeView()->collapseItem(Segment(*form));
        QCOMPARE(Rows(UserDb(f), "SELECT collapse FROM mb_node WHERE id=1"), QStringList({"1"}));
        // The selected segment (id 1) stays selected: the device with node id 1 is not
        // selected, and so not expanded, by the rebuild.
        QCOMPARE(form->NodeTreeView()->currentItem(), Segment(*form));
        QTest::keyClick(form->NodeTreeView(), Qt::Key_F5);
        QCOMPARE(form->NodeTreeView()->currentItem(), Segment(*form));
        QVERIFY(!Segment(*form)->child(1)->isExpanded());
        form->close();
    }
    auto form = f.Start({});
    QTreeWidgetItem* ut = Segment(*form)->child(1);
    QVERIFY(!ut->isExpanded());
    QCOMPARE(ut->childCount(), 3);
    form->NodeTreeView()->expandItem(ut);
    QCOMPARE(Rows(UserDb(f), "SELECT collapse FROM mb_node WHERE id=1"), QStringList({""}));
}

void TNodeTreeTest::languageMenuSwitchesMenusGridAndTree() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({});
    AddThroughCommand(*form, "KUT 10");
    form->NodeTreeView()->setCurrentItem(Segment(*form)->child(0)->child(0));
    QTableWidget* grid = form->ParameterStringGrid();

    FindAction(form.get(), "MenuItemLangEN")->trigger();
    QCOMPARE(form->Language(), QStringLiteral("en"));
    QCOMPARE(form->findChild<QMenu*>("MenuItemFile")->title(), QStringLiteral("File"));
    QCOMPARE(FindAction(form.get(), "MenuItemAddNode")->text(), QStringLiteral("Add device"));
    QCOMPARE(FindAction(form.get(), "MenuItemAbout")->text(),
             QStringLiteral("About RERUDADadivod ..."));
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Parameter"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    QCOMPARE(Captions(Segment(*form)->child(0)), QStringList({"Input", "Relay", "Device data"}));
    // The rebuild reselects the node and its info panel speaks the new language.
    QCOMPARE(form->NodeTreeView()->currentItem()->text(0), QStringLiteral("Input"));
    QCOMPARE(MemoLines(form->MemoInfoLabel()),
             QStringList({"Device type", "Modbus address", "Measuring point"}));
    QCOMPARE(MemoLines(form->MemoInfoValue())[0],
             QStringLiteral("KUT 10 universal transmitter (from V1.6)"));

    FindAction(form.get(), "MenuItemLangFR")->trigger();
    QCOMPARE(form->findChild<QMenu*>("MenuItemDevice")->title(), QStringLiteral("Appareil"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Valeur"));
    QCOMPARE(Captions(Segment(*form)->child(0)),
             QStringList({"Entrée", "Relais", "Données de l'appareil"}));
    // Dialogs take the language when they are shown.
    TSettingsForm* settings = AppWindows().SettingsForm;
    settings->open();
    QCOMPARE(settings->windowTitle(), QStringLiteral("Paramètres de communication"));
    settings->reject();

    FindAction(form.get(), "MenuItemLangDE")->trigger();
    QCOMPARE(form->findChild<QMenu*>("MenuItemFile")->title(), QStringLiteral("Datei"));
    QCOMPARE(MemoLines(form->MemoInfoValue())[0],
             QStringLiteral("KUT 10 Universaltransmitter (ab V1.6)"));
    form->close();
    QSettings store(TGuiFixture::SettingsFile("KOLVANE", "RERUDADadivod"), QSettings::IniFormat);
    QCOMPARE(store.value("Language").toString(), QStringLiteral("de"));
}

void TNodeTreeTest::backupThenRestoreGivesBackTheRows() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({"/KOLVANE"});
    AddThroughCommand(*form, "KUT 10");
    const QString db = UserDb(f);
    const char* all =
        "SELECT * FROM mb_node UNION ALL SELECT id, pid, modreg, value, label, '', '',"
        " '', '', '', '', '', '', '', '', '', '', '', '', '', '' FROM mb_parameter";
    const QStringList before = Rows(db, all);

    // Cancelled dialogs change nothing; then a backup without extension gets ".dbb".
    FindAction(form.get(), "MenuItemBackup")->trigger();
    TDialogService::Instance().QueueFileName(f.InCwd("sicherung"));
    FindAction(form.get(), "MenuItemBackup")->trigger();
    const QString backup = f.InCwd("sicherung.dbb");
    QVERIFY(QFile::exists(backup));
    QCOMPARE(form->Settings().BackupPath, f.Cwd());
    QVERIFY(ReadText(f.InCwd("Parsetta.log")).contains("BACKUP in " + backup + "\n"));

    PressOn(*form, Segment(*form)->child(0));
    TDialogService::Instance().QueueAnswer(true);
    FindAction(form.get(), "MenuItemDelNode")->trigger();
    QCOMPARE(Segment(*form)->childCount(), 0);

    TDialogService::Instance().QueueAnswer(false);
    FindAction(form.get(), "MenuItemRestore")->trigger();
    TDialogService::Instance().QueueAnswer(true);
    FindAction(form.get(), "MenuItemRestore")->trigger();
    QCOMPARE(Segment(*form)->childCount(), 0);

    TDialogService::Instance().ClearMessages();
    TDialogService::Instance().QueueAnswer(true);
    TDialogService::Instance().QueueFileName(backup);
    FindAction(form.get(), "MenuItemRestore")->trigger();
    QCOMPARE(TDialogService::Instance().Messages(),
             QStringList({"Restore ersetzt die komplette Konfiguration!"}));
    QCOMPARE(Rows(db, all), before);
    QCOMPARE(Segment(*form)->childCount(), 1);
    QCOMPARE(Captions(Segment(*form)->child(0)), QStringList({"Eingang", "Relais", "Gerätedaten"}));
    QVERIFY(!form->RefreshInProgress());
    const QString log = ReadText(f.InCwd("Parsetta.log"));
    QVERIFY(log.contains("RESTORE from " + backup + "\n"));
    QVERIFY(log.contains("REFRESH NodeTree\n"));

    // Restoring the open file itself works, and the program keeps working on it.
    TDialogService::Instance().QueueAnswer(true);
    TDialogService::Instance().QueueFileName(db);
    FindAction(form.get(), "MenuItemRestore")->trigger();
    QCOMPARE(Rows(db, all), before);
    AddThroughCommand(*form, "KAI 4");
    QCOMPARE(Segment(*form)->childCount(), 2);

    // A backup onto the open database is refused with its reason.
    TDialogService::Instance().ClearMessages();
    TDialogService::Instance().QueueFileName(db);
    FindAction(form.get(), "MenuItemBackup")->trigger();
    QCOMPARE(TDialogService::Instance().Messages(),
             QStringList({"Die Sicherung darf nicht die geöffnete Datenbank überschreiben."}));
}

void TNodeTreeTest::restoringAFileThatIsNoUserDatabaseChangesNothing() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({});
    AddThroughCommand(*form, "KUT 10");
    const QString db = UserDb(f);
    const QStringList before = Rows(db, "SELECT * FROM mb_node");

    const QString text = f.InCwd("notizen.dbb");
    {
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Anlage Halle 3\n");
    }
    const QString other = f.InCwd("fremd.dbb");
    Exec(f.InCwd("devices.db"), "VACUUM INTO '" + other + "'");
    FindAction(form.get(), "MenuItemLangEN")->trigger();

    struct TCase {
        QString File;
        QString Message;
    };
    const TCase cases[] = {
        {text, "The file is not a user database: " + text},
        {other, "The file lacks the tables: mb_segment"},
        {f.InCwd("fehlt.dbb"), "Restore failed: " + f.InCwd("fehlt.dbb")},
    };
    for (const TCase& c : cases) {
        TDialogService::Instance().ClearMessages();
        TDialogService::Instance().QueueAnswer(true);
        TDialogService::Instance().QueueFileName(c.File);
        FindAction(form.get(), "MenuItemRestore")->trigger();
        QCOMPARE(TDialogService::Instance().Messages(),
                 QStringList({"Restore replaces the complete configuration!", c.Message}));
        QCOMPARE(Rows(db, "SELECT * FROM mb_node"), before);
        QCOMPARE(Segment(*form)->childCount(), 1);
    }
}

void TNodeTreeTest::aboutBoxUnderTwoBrandsAndInFrench() {
    TGuiFixture f;
    f.MakeTemplate();
    {
        auto form = f.Start({}, "/opt/parsetta/parsetta", true);
        TAboutForm* about = AppWindows().AboutForm;
        QTRY_VERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("RERUDADadivod - KOLVANE Messtechnik GmbH"));
        QCOMPARE(about->findChild<QLabel*>("LabelTitle")->text(), QStringLiteral("RERUDADadivod"));
        QCOMPARE(about->findChild<QLabel*>("LabelVersion")->text(),
                 QStringLiteral("Version 1.4.2"));
        QCOMPARE(about->findChild<QLabel*>("LabelDescription")->text(),
                 QStringLiteral("Einstellprogramm für KOLVANE-Modbus-Geräte"));
        QCOMPARE(about->findChild<QCheckBox*>("CheckBoxStartinfo")->text(),
                 QStringLiteral("Diese Info beim Start zeigen"));
        QCOMPARE(about->findChild<QPushButton*>("Button1")->text(),
                 QStringLiteral("Info schließen"));
        QVERIFY(!about->findChild<QLabel*>("Image1")->pixmap().isNull());
        about->reject();

        FindAction(form.get(), "MenuItemLangFR")->trigger();
        FindAction(form.get(), "MenuItemAbout")->trigger();
        QTRY_VERIFY(about->isVisible());
        QCOMPARE(about->findChild<QCheckBox*>("CheckBoxStartinfo")->text(),
                 QStringLiteral("Présenter ces informations au démarrage"));
        QCOMPARE(about->findChild<QPushButton*>("Button1")->text(), QStringLiteral("Fermer info"));
        QCOMPARE(about->findChild<QLabel*>("LabelDescription")->text(),
                 QStringLiteral("Programme pour gérer les paramètres des appareils Modbus"));
        about->reject();
        form->close();
    }
    {
        QSettings store(TGuiFixture::SettingsFile("Quillon", "Vantrel"), QSettings::IniFormat);
        store.setValue("Language", "en");
    }
    auto form = f.Start({}, "/usr/local/bin/Vantrel", true);
    TAboutForm* about = AppWindows().AboutForm;
    QTRY_VERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("Vantrel - Quillon Instruments S.A.S."));
    QCOMPARE(about->findChild<QLabel*>("LabelVersion")->text(), QStringLiteral("Version 1.4.2"));
    QCOMPARE(about->findChild<QLabel*>("LabelDescription")->text(),
             QStringLiteral("Program to manage settings of Modbus devices"));
    QCOMPARE(about->findChild<QCheckBox*>("CheckBoxStartinfo")->text(),
             QStringLiteral("Show this infomation at startup"));
    QCOMPARE(about->findChild<QPushButton*>("Button1")->text(), QStringLiteral("Close info"));
    QVERIFY(about->findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("Quillon"));
}

void TNodeTreeTest::websiteManualIconsAndDeviceInfo() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({"/KOLVANE"});
    // The start sequence loaded the template's option list.
    QCOMPARE(form->OptionListTable().PositionOf("SELECT_IN"), 0);
    TDialogService& dialogs = TDialogService::Instance();
    FindAction(form.get(), "MenuItemWebsite")->trigger();
    FindAction(form.get(), "MenuManual")->trigger();
    QCOMPARE(dialogs.OpenedUrls().size(), 2);
    QCOMPARE(dialogs.OpenedUrls()[0], QUrl("https://www.kolvane-messtechnik.de"));
    QCOMPARE(dialogs.OpenedUrls()[1], QUrl::fromLocalFile(f.InCwd("ModbusManual.pdf")));

    AddThroughCommand(*form, "KUT 10");
    dialogs.ClearMessages();
    form->SetNodeIcon(3, 24);
    QCOMPARE(Segment(*form)->child(0)->child(1)->data(0, kImageRole).toInt(), 24);
    form->SetNodeIcon(1, 24);
    QCOMPARE(Segment(*form)->child(0)->data(0, kImageRole).toInt(), 20);
    QCOMPARE(dialogs.Messages(), QStringList({"Falscher Icon soll gesetzt werden!"}));
    const QString log = ReadText(f.InCwd("Parsetta.log"));
    QVERIFY(log.contains("Icon 3 = 24, Level 2\nIcon 1 = 24, Level 1\n"));

    dialogs.ClearMessages();
    TDeviceInfo& info = form->DeviceInfo();
    info.DeviceType = 13;
    info.HardwareVersion = 'B';
    info.SoftwareVersion = 0x0106;
    info.Address = 7;
    info.Rfid = "A1B2C3";
    info.Maker = " KOLVANE ";
    info.DeviceName = "KUT 10  ";
    info.MeasuringPoint = " TT-101";
    form->findChild<QToolButton*>("DeviceInfoSpeedButton")->click();
    QCOMPARE(dialogs.Messages(),
             QStringList({"DeviceInfo:\r\n\r\nID: 13\r\nVariante: 0\r\nOEM: 0\r\nHWVER: B\r\n"
                          "SWVER: 0106\r\nParasatz: 0\r\nAdresse: 7\r\nRFID: A1B2C3\r\n"
                          "Hersteller: KOLVANE, Geraetename: KUT 10\r\nMessstelle: TT-101"}));
}

int main(int argc, char* argv[]) {
    PrepareGuiTestProcess();
    QApplication application(argc, argv);
    TNodeTreeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "node_tree_guitest.moc"
