#include "gui_fixture.h"

#include "app/about_form.h"
#include "app/app_windows.h"
#include "app/dialog_service.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>
#include <SQLiteCpp/SQLiteCpp.h>

namespace {

// Visible captions of a menu in order; separators as "-".
QStringList VisibleItems(QMenu* menu) {
    QStringList items;
    for (QAction* action : menu->actions()) {
        if (action->isVisible())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return items;
}

QMenu* MenuNamed(TMainForm& form, const char* name) {
    return form.findChild<QMenu*>(QLatin1String(name));
}

QStringList Rows(const QString& path, const char* sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement q(db, sql);
    QStringList rows;
    while (q.executeStep()) {
        QStringList columns;
        for (int i = 0; i < q.getColumnCount(); ++i)
            columns << QString::fromUtf8(q.getColumn(i).getText());
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class TMainFormTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartInServiceModeCreatesTheUserDatabase();
    void secondStartRunsTheUpdateCheckAndKeepsWindowState();
    void brandByProgramNameHidesFrenchAndWritesNoLog();
    void storedFrenchUnderBrandWithoutFrenchStartsGerman();
    void missingTemplateIsReportedAndNotCreated();
    void unwritableSettingsAreReportedOnce();
    void sqlLogSwitchLogsBothConnections();
    void windowOffTheScreenStartsAtTenTen();
    void clearedStartInfoSkipsTheAboutBox();
    void recentFilesShowWhatTheStoreHolds();
};

void TMainFormTest::firstStartInServiceModeCreatesTheUserDatabase() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({"/KOLVANE"}, "/opt/parsetta/parsetta", true);
    QCOMPARE(form->MainTimerTag(), 0);

    QCOMPARE(form->windowTitle(), QStringLiteral("RERUDADadivod :: KOLVANE Messtechnik GmbH"));
    QTreeWidget* tree = form->NodeTreeView();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Modbus-Segment"));
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QVERIFY(!form->TreeBuilding());
    QTRY_VERIFY(AppWindows().AboutForm->isVisible());
    QCOMPARE(AppWindows().AboutForm->windowTitle(),
             QStringLiteral("RERUDADadivod - KOLVANE Messtechnik GmbH"));
    AppWindows().AboutForm->reject();

    QStringList menus;
    for (QAction* action : form->menuBar()->actions())
        menus << action->text();
    // The captions are the German catalogue's texts once the start sequence has run.
    QCOMPARE(menus, QStringList({"Datei", "Gerät", "Diagnose", "Einstellungen", "Hilfe"}));
    QCOMPARE(VisibleItems(MenuNamed(*form, "MenuItemFile")),
             QStringList({"Datensicherung", "Rücksicherung", "-", "Beenden"}));
    QCOMPARE(VisibleItems(MenuNamed(*form, "MenuItemDevice")),
             QStringList({"Gerät hinzufügen", "Gerät löschen", "-", "Daten vom Gerät lesen",
                          "Daten an Gerät übertragen", "-", "Modbus-Adresse ändern"}));
    QCOMPARE(VisibleItems(MenuNamed(*form, "MenuItemSettings")),
             QStringList({"Deutsch", "English", "Français", "-", "Kommunikation ..."}));
    QCOMPARE(VisibleItems(MenuNamed(*form, "MenuItemHelp")),
             QStringList({"Website", "Modbus Manual", "-", "Über RERUDADadivod ..."}));
    QCOMPARE(
        VisibleItems(MenuNamed(*form, "PopupMenuNode")),
        QStringList({"Gerät hinzufügen", "Gerät löschen", "-", "Daten vom Gerät lesen",
                     "Daten an Gerät übertragen", "-", "Modbus-Adresse ändern", "-", "Abbrechen"}));
    // The default protocol is the service interface, the one with Modbus diagnostics.
    QVERIFY(FindAction(form.get(), "MenuItemDiagModbus")->isEnabled());
    // The start selects the segment: it can be read, not written.
    QVERIFY(FindAction(form.get(), "MenuItemReadFromDevice")->isEnabled());
    QVERIFY(!FindAction(form.get(), "MenuItemWriteToDevice")->isEnabled());
    QVERIFY(form->findChild<QWidget*>("DatabaseSpeedButton")->isVisible());
    QVERIFY(form->findChild<QWidget*>("PageToggleButton")->isVisible());

    const QString log = ReadText(f.InCwd("Parsetta.log"));
    QVERIFY(log.startsWith("EditActive false: INIT\nSTART\n"));
    QVERIFY(log.contains("\nNeue Datenbank kolvanebus.db wird angelegt!\n"));
    QVERIFY(
        log.contains("Execute[17]: INSERT INTO mb_segment VALUES(1,0,0,'Modbus-Segment','');\n"));
    QVERIFY(log.contains("SQLQuery1[2]: SELECT id FROM mb_segment LIMIT 0,1\n"));
    QVERIFY(form->Memo1()->toPlainText().contains("Execute[15]: DROP TABLE IF EXISTS mb_segment"));

    const QString userDb = f.DataHome() + "/KOLVANE/RERUDADadivod/kolvanebus.db";
    QCOMPARE(form->UserDbPath(), userDb);
    QCOMPARE(Rows(userDb, "SELECT * FROM mb_segment"), QStringList({"1|0|0|Modbus-Segment|"}));
    QCOMPARE(Rows(userDb, "SELECT pid, modreg FROM mb_parameter ORDER BY sorting"),
             QStringList({"0|45201", "0|45213"}));
    QCOMPARE(Rows(userDb, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"),
             QStringList({"mb_node", "mb_parameter", "mb_segment"}));

    form->close();
    QSettings store(TGuiFixture::SettingsFile("KOLVANE", "RERUDADadivod"), QSettings::IniFormat);
    QCOMPARE(store.value("Version").toString(), QStringLiteral("1.4.2"));
    QVERIFY(!store.contains("AppDataPath"));
    QCOMPARE(store.allKeys().size(), 25);
    QCOMPARE(store.value("Language").toString(), form->Language());
}

void TMainFormTest::secondStartRunsTheUpdateCheckAndKeepsWindowState() {
    TGuiFixture f;
    f.MakeTemplate();
    {
        auto form = f.Start({"/KOLVANE"});
        form->ModbusSetting() = TModbusSetting{2, "10.0.0.7", 1502, "", 9, 1, 800, 12};
        form->resize(900, 650);
        form->move(40, 30);
        form->close();
    }
    QFile::remove(f.InCwd("Parsetta.log"));
    auto form = f.Start({"/kolvane"});
    const QString log = ReadText(f.InCwd("Parsetta.log"));
    QVERIFY(log.contains("\nUpdateCheck Datenbank kolvanebus.db\n"));
    QVERIFY(!log.contains("Neue Datenbank"));
    QCOMPARE(form->width(), 900);
    QCOMPARE(form->height(), 650);
    QCOMPARE(form->x(), 40);
    QCOMPARE(form->ModbusSetting(), (TModbusSetting{2, "10.0.0.7", 1502, "", 9, 1, 800, 12}));
    QCOMPARE(form->NodeTreeView()->topLevelItemCount(), 1);
}

void TMainFormTest::brandByProgramNameHidesFrenchAndWritesNoLog() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({}, "/usr/local/bin/Vantrel");
    QCOMPARE(form->OemInfo().Index(), 3);
    QCOMPARE(form->windowTitle(), QStringLiteral("Vantrel :: Quillon Instruments S.A.S."));
    QVERIFY(FindAction(form.get(), "MenuItemLangDE")->isVisible());
    QVERIFY(FindAction(form.get(), "MenuItemLangEN")->isVisible());
    QVERIFY(!FindAction(form.get(), "MenuItemLangFR")->isVisible());
    QVERIFY(FindAction(form.get(), "MenuItemWebsite")->isVisible());
    QVERIFY(!FindAction(form.get(), "MenuManual")->isVisible());
    QVERIFY(!form->findChild<QWidget*>("DatabaseSpeedButton")->isVisible());
    QCOMPARE(form->UserDbPath(), f.DataHome() + "/Quillon/Vantrel/modbus.db");
    QCOMPARE(form->NodeTreeView()->topLevelItem(0)->text(0), QStringLiteral("Modbus-Segment"));
    QVERIFY(form->Memo1()->toPlainText().startsWith("SQL: INSERT INTO mb_parameter"));
    QVERIFY(!form->Memo1()->toPlainText().contains("Execute["));
    QVERIFY(!QFile::exists(f.InCwd("Parsetta.log")));
    form->close();
    QVERIFY(QFile::exists(TGuiFixture::SettingsFile("Quillon", "Vantrel")));
}

void TMainFormTest::storedFrenchUnderBrandWithoutFrenchStartsGerman() {
    TGuiFixture f;
    f.MakeTemplate();
    {
        QSettings store(TGuiFixture::SettingsFile("Bexlund", "BEXLUNDmodbus"),
                        QSettings::IniFormat);
        store.setValue("Language", "fr");
    }
    auto form = f.Start({"/OEM", "8"}, "/opt/parsetta/Vantrel");
    QCOMPARE(form->OemInfo().Index(), 1);
    QCOMPARE(form->Language(), QStringLiteral("de"));
    QCOMPARE(form->LanguageIndex(), 0);
    form->close();

    QSettings store(TGuiFixture::SettingsFile("Bexlund", "BEXLUNDmodbus"), QSettings::IniFormat);
    store.setValue("Language", "english");
    store.sync();
    auto second = f.Start({"/OEM", "8"});
    QCOMPARE(second->Language(), QStringLiteral("en"));
}

void TMainFormTest::missingTemplateIsReportedAndNotCreated() {
    TGuiFixture f;
    auto form = f.Start({});
    const QStringList messages = TDialogService::Instance().Messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].contains(f.InCwd("devices.db")));
    QVERIFY(!QFile::exists(f.InCwd("devices.db")));
    QCOMPARE(form->NodeTreeView()->topLevelItemCount(), 0);
    QVERIFY(!QFile::exists(form->UserDbPath()));
}

void TMainFormTest::unwritableSettingsAreReportedOnce() {
    TGuiFixture f;
    f.MakeTemplate();
    // A folder where the settings file belongs cannot be written, not even by root.
    QDir().mkpath(TGuiFixture::SettingsFile("KOLVANE", "RERUDADadivod"));
    auto form = f.Start({});
    QCOMPARE(form->NodeTreeView()->topLevelItemCount(), 1);
    form->close();
    const QStringList reports =
        TDialogService::Instance().Messages().filter("Die Einstellungen konnten nicht gespeichert");
    QCOMPARE(reports.size(), 1);
}

void TMainFormTest::sqlLogSwitchLogsBothConnections() {
    TGuiFixture f;
    f.MakeTemplate();
    auto form = f.Start({"/SQLLOG"});
    form->close();
    const QStringList lines = ReadText(f.InCwd("sql.log")).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    for (const QString& line : lines)
        QVERIFY2(line.startsWith("USR\t") || line.startsWith("TPL\t"), qPrintable(line));
    QVERIFY(!lines.filter("USR\tdetActualSQL\tSELECT id FROM mb_segment LIMIT 0,1").isEmpty());
    QVERIFY(!lines.filter("TPL\tdetActualSQL\tSELECT * FROM mb_parameter WHERE pid=0").isEmpty());
    QVERIFY(!QFile::exists(f.InCwd("Parsetta.log")));
}

void TMainFormTest::windowOffTheScreenStartsAtTenTen() {
    TGuiFixture f;
    f.MakeTemplate();
    {
        QSettings store(TGuiFixture::SettingsFile("KOLVANE", "RERUDADadivod"),
                        QSettings::IniFormat);
        store.setValue("PosX", 5000);
        store.setValue("PosY", 40);
    }
    auto form = f.Start({});
    QCOMPARE(form->x(), 10);
    QCOMPARE(form->y(), 10);
}

void TMainFormTest::clearedStartInfoSkipsTheAboutBox() {
    TGuiFixture f;
    f.MakeTemplate();
    {
        auto form = f.Start({}, "/opt/parsetta/parsetta", true);
        TAboutForm* about = AppWindows().AboutForm;
        QTRY_VERIFY(about->isVisible());
        about->findChild<QCheckBox*>("CheckBoxStartinfo")->setChecked(false);
        about->reject();
        QVERIFY(!form->StartInfo());
        form->close();
    }
    auto form = f.Start({}, "/opt/parsetta/parsetta", true);
    QTest::qWait(50);
    QVERIFY(!AppWindows().AboutForm->isVisible());
    FindAction(form.get(), "MenuItemAbout")->trigger();
    QTRY_VERIFY(AppWindows().AboutForm->isVisible());
    QVERIFY(!AppWindows().AboutForm->findChild<QCheckBox*>("CheckBoxStartinfo")->isChecked());
}

void TMainFormTest::recentFilesShowWhatTheStoreHolds() {
    TGuiFixture f;
    f.MakeTemplate();
    {
        QSettings store(TGuiFixture::SettingsFile("KOLVANE", "RERUDADadivod"),
                        QSettings::IniFormat);
        store.setValue("File1", "/home/service/anlagen/halle3.db");
        store.setValue("File3", "/home/service/anlagen/halle7.db");
    }
    auto form = f.Start({});
    QVERIFY(FindAction(form.get(), "Ntrenn")->isVisible());
    QAction* first = FindAction(form.get(), "N1DateiAlt");
    QVERIFY(first->isVisible());
    QCOMPARE(first->text(), QStringLiteral("/ ... /halle3.db"));
    QCOMPARE(first->toolTip(), QStringLiteral("/home/service/anlagen/halle3.db"));
    QVERIFY(!FindAction(form.get(), "N2DateiAlt")->isVisible());
    QVERIFY(FindAction(form.get(), "N3DateiAlt")->isVisible());
    QVERIFY(!FindAction(form.get(), "N4DateiAlt")->isVisible());
    form->close();
    QSettings store(TGuiFixture::SettingsFile("KOLVANE", "RERUDADadivod"), QSettings::IniFormat);
    QCOMPARE(store.value("File3").toString(), QStringLiteral("/home/service/anlagen/halle7.db"));
}

int main(int argc, char* argv[]) {
    PrepareGuiTestProcess();
    QApplication application(argc, argv);
    TMainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_form_guitest.moc"
