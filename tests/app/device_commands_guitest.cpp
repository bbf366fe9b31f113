// The device commands on the real window against the device simulator over Modbus TCP: the
// settings dialog, reading a device into the tree, the database and the grid, writing an edited
// value back, changing the device's address, and a station that does not answer.
#include "gui_fixture.h"

#include "app/address_form.h"
#include "app/app_windows.h"
#include "app/dialog_service.h"
#include "app/settings_form.h"
#include "devsim_process.h"
#include "i18n/strings_main.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <SQLiteCpp/SQLiteCpp.h>

#include <functional>
#include <regex>

namespace {

QString UserDb(const TGuiFixture& f) {
    return f.DataHome() + QStringLiteral("/KOLVANE/RERUDADadivod/kolvanebus.db");
}

QString Value(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement q(db, sql.toStdString());
    return q.executeStep() ? QString::fromUtf8(q.getColumn(0).getText()) : QStringLiteral("<none>");
}

void Execute(const QString& path, const QString& sql) {
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
    db.exec(sql.toStdString());
}

// Works the next modal dialog of the given kind once it shows, while the command waits in it.
template <typename TDialog> void WhenShown(TDialog* dialog, std::function<void(TDialog*)> work) {
    auto* timer = new QTimer(dialog);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, dialog, [timer, dialog, work] {
        if (!dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        work(dialog);
    });
    timer->start();
}

void AnswerAddress(int address, int newAddress = -1) {
    WhenShown<TAddressForm>(AppWindows().AddressForm, [=](TAddressForm* form) {
        form->SpinEditAddress()->setValue(address);
        if (newAddress > 0)
            form->SpinEditNewAddress()->setValue(newAddress);
        form->accept();
    });
}

QString DeviceId(const QString& db) {
    return Value(db, QStringLiteral("SELECT id FROM mb_node WHERE parentID=0 AND devid='000D'"));
}

// The grid row whose hidden id column names the parameter.
int GridRowOf(const QTableWidget* grid, const QString& parameterId) {
    for (int row = 0; row < grid->rowCount(); ++row)
        if (grid->item(row, 2) && grid->item(row, 2)->text() == parameterId)
            return row;
    return -1;
}

} // namespace

class TDeviceCommandsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TGuiFixture> F;
    std::unique_ptr<TDevsimProcess> Sim;
    std::unique_ptr<TMainForm> Form;
    int Port = -1;

    void StartAll() {
        F = std::make_unique<TGuiFixture>();
        QVERIFY(QFile::copy(QStringLiteral(PARSETTA_DEVICES_DB), F->InCwd("devices.db")));
        Sim = std::make_unique<TDevsimProcess>(
            PARSETTA_DEVSIM, PARSETTA_DEVICES_DB,
            std::vector<std::string>{"--tcp", "127.0.0.1:0", "--device", "000D@1"});
        Port = Sim->Port();
        QVERIFY(Port > 0);
        // Not in service mode: the messages are those a technician sees.
        Form = F->Start({});
        QCOMPARE(Form->MainTimerTag(), 0);
        Form->DeviceConnection().SetSettleMs(20);
        TDialogService::Instance().ClearMessages();
    }

    void ChooseTcp() {
        WhenShown<TSettingsForm>(AppWindows().SettingsForm, [this](TSettingsForm* form) {
            // The command names the program in the caption.
            QCOMPARE(form->windowTitle(),
                     Form->OemInfo().GetValue(QStringLiteral("prog_name")) + QStringLiteral(" - ") +
                         Form->OemInfo().GetValue(QStringLiteral("prog_company")));
            form->RadioButtonTCP()->setChecked(true);
            form->EditHost()->setText(QStringLiteral("127.0.0.1"));
            form->EditPort()->setText(QString::number(Port));
            form->SpinEditTimeout()->setValue(400);
            form->accept();
        });
        FindAction(Form.get(), "MenuItemCommunication")->trigger();
    }

    void ReadAt(int address) {
        QTreeWidget* tree = Form->NodeTreeView();
        tree->setCurrentItem(tree->topLevelItem(0));
        AnswerAddress(address);
        FindAction(Form.get(), "MenuItemReadFromDevice")->trigger();
    }

private slots:
    void cleanup() {
        Form.reset();
        Sim.reset();
        F.reset();
    }

    void settingsDialogAppliesAndStoresTcp() {
        StartAll();
        ChooseTcp();
        const TModbusSetting& s = Form->Settings().Modbus;
        QCOMPARE(s.Protocol, 2);
        QCOMPARE(s.Port, Port);
        QCOMPARE(s.Timeout, 400);
        QCOMPARE(Form->StatusPanelText(1),
                 QStringLiteral("Modbus TCP - 127.0.0.1 : %1 ").arg(Port));
        QCOMPARE(Form->DeviceConnection().Setting(), s);
        QVERIFY(!FindAction(Form.get(), "MenuItemDiagModbus")->isEnabled());
        // The record is stored at once, not only when the window closes.
        bool stored = false;
        for (const QString& file :
             QDir(TGuiFixture::ConfigHome())
                 .entryList({QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QFileInfo& conf :
                 QDir(TGuiFixture::ConfigHome() + '/' + file).entryInfoList({"*.conf"}))
                stored |= ReadText(conf.filePath()).contains(QStringLiteral("Port=%1").arg(Port));
        }
        QVERIFY(stored);
    }

    void deviceWayTakesServiceLineSettings() {
        StartAll();
        // The status bar names the way in the language of the start, not in the source text.
        QCOMPARE(Form->StatusPanelText(1), rs_main::rsdevice.Text() + QStringLiteral(" -  "));
        QVERIFY(rs_main::rsdevice.Text() != QStringLiteral("Device"));
        WhenShown<TSettingsForm>(AppWindows().SettingsForm, [](TSettingsForm* form) {
            form->RadioButtonDevice()->setChecked(true);
            QVERIFY(!form->EditHost()->isEnabled());
            QVERIFY(!form->ComboBoxBaudRate()->isEnabled());
            QVERIFY(form->ComboBoxComPort()->isEnabled());
            form->ComboBoxBaudRate()->setCurrentIndex(9);
            form->SpinEditTimeout()->setValue(2000);
            form->ComboBoxComPort()->setCurrentIndex(form->ComboBoxComPort()->findText("-"));
            form->accept();
        });
        FindAction(Form.get(), "MenuItemCommunication")->trigger();
        const TModbusSetting& s = Form->Settings().Modbus;
        QCOMPARE(s.Protocol, 0);
        QCOMPARE(s.BaudRate, 5);
        QCOMPARE(s.Timeout, 300);
        QCOMPARE(s.COMPort, QString());
        QCOMPARE(Form->StatusPanelText(1), rs_main::rsdevice.Text() + QStringLiteral(" -  "));
        QVERIFY(FindAction(Form.get(), "MenuItemDiagModbus")->isEnabled());
    }

    void cancelledSettingsChangeNothing() {
        StartAll();
        const TModbusSetting before = Form->Settings().Modbus;
        WhenShown<TSettingsForm>(AppWindows().SettingsForm, [](TSettingsForm* form) {
            form->RadioButtonTCP()->setChecked(true);
            form->EditPort()->setText(QStringLiteral("5o2"));
            form->reject();
        });
        FindAction(Form.get(), "MenuItemCommunication")->trigger();
        QCOMPARE(Form->Settings().Modbus, before);
    }

    void readAddsDeviceWithValuesToTreeDatabaseAndGrid() {
        StartAll();
        ChooseTcp();
        ReadAt(1);
        const QString db = UserDb(*F);
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());
        const QString id = DeviceId(db);
        QVERIFY(id != QStringLiteral("<none>"));
        QCOMPARE(Value(db, "SELECT addr FROM mb_node WHERE id=" + id), QStringLiteral("1"));
        QVERIFY(!Value(db, "SELECT rfid FROM mb_node WHERE id=" + id).isEmpty());
        QCOMPARE(Value(db, "SELECT count(*) FROM mb_parameter p JOIN mb_node n ON p.pid=n.id"
                           " WHERE (n.id=" +
                               id + " OR n.parentID=" + id +
                               ") AND (p.access & 1)=1 AND p.value='Error'"),
                 QStringLiteral("0"));
        QCOMPARE(Form->Settings().Modbus.Address, 1);
        // The device is selected in the rebuilt tree, and the grid shows its stored values.
        QTreeWidgetItem* current = Form->NodeTreeView()->currentItem();
        QVERIFY(current && current->parent() && !current->parent()->parent());
        QVERIFY2(current->text(0).startsWith(QStringLiteral("[ 1 ]")),
                 qPrintable(current->text(0)));
        const QString addressRow =
            Value(db, "SELECT id FROM mb_parameter WHERE pid=" + id + " AND modreg=45010");
        const int row = GridRowOf(Form->ParameterStringGrid(), addressRow);
        QVERIFY(row >= 0);
        QCOMPARE(Form->ParameterStringGrid()->item(row, 1)->text(), QStringLiteral("1"));
    }

    void writtenValueReachesTheDevice() {
        StartAll();
        ChooseTcp();
        ReadAt(1);
        const QString db = UserDb(*F);
        const QString id = DeviceId(db);
        const QString where = " WHERE pid=" + id + " AND modreg=45151";
        Execute(db, "UPDATE mb_parameter SET value='TT-4711'" + where);
        TDialogService::Instance().ClearMessages();
        FindAction(Form.get(), "MenuItemWriteToDevice")->trigger();
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());
        // A second read brings the device's value back over the stored one.
        Execute(db, "UPDATE mb_parameter SET value='overwritten'" + where);
        ReadAt(1);
        QCOMPARE(Value(db, "SELECT value FROM mb_parameter" + where), QStringLiteral("TT-4711"));
        QCOMPARE(Value(db, "SELECT tag FROM mb_node WHERE id=" + id), QStringLiteral("TT-4711"));
    }

    void changeAddressMovesDeviceTreeAndDatabase() {
        StartAll();
        ChooseTcp();
        ReadAt(1);
        const QString db = UserDb(*F);
        const QString id = DeviceId(db);
        AnswerAddress(1, 5);
        FindAction(Form.get(), "MenuItemChangeAddress")->trigger();
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());
        QCOMPARE(Value(db, "SELECT addr FROM mb_node WHERE id=" + id), QStringLiteral("5"));
        QCOMPARE(Value(db, "SELECT value FROM mb_parameter WHERE pid=" + id + " AND modreg=45010"),
                 QStringLiteral("5"));
        QCOMPARE(Form->Settings().Modbus.Address, 5);
        QTreeWidgetItem* current = Form->NodeTreeView()->currentItem();
        QVERIFY(current);
        QVERIFY2(current->text(0).startsWith(QStringLiteral("[ 5 ]")),
                 qPrintable(current->text(0)));
        // The device now answers at 5 and is read into the same node.
        ReadAt(5);
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());
        QCOMPARE(DeviceId(db), id);
    }

    void silentStationStoresNothing() {
        StartAll();
        ChooseTcp();
        ReadAt(9);
        QCOMPARE(TDialogService::Instance().Messages().join("|"), rs_main::rsnodevicefoun.Text());
        QCOMPARE(Value(UserDb(*F), "SELECT count(*) FROM mb_node WHERE parentID=0"),
                 QStringLiteral("0"));
        // The pop-up command proposes the address of the item under the mouse, not the last one
        // used.
        TDialogService::Instance().ClearMessages();
        ReadAt(1);
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());
        ReadAt(9);
        QCOMPARE(Form->Settings().Modbus.Address, 9);
        QTreeWidget* tree = Form->NodeTreeView();
        QTreeWidgetItem* device = tree->topLevelItem(0)->child(0);
        QTest::mousePress(tree->viewport(), Qt::RightButton, {},
                          tree->visualItemRect(device).center());
        // The selection is elsewhere: only the press names the device.
        tree->setCurrentItem(tree->topLevelItem(0));
        int proposed = -1;
        WhenShown<TAddressForm>(AppWindows().AddressForm, [&](TAddressForm* f) {
            proposed = f->SpinEditAddress()->value();
            f->reject();
        });
        FindAction(Form.get(), "PopupItemReadFromDevice")->trigger();
        QCOMPARE(proposed, 1);
        // Cancelling the address dialog sends nothing and says nothing.
        TDialogService::Instance().ClearMessages();
        WhenShown<TAddressForm>(AppWindows().AddressForm, [](TAddressForm* f) { f->reject(); });
        FindAction(Form.get(), "MenuItemReadFromDevice")->trigger();
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());
    }
};

int main(int argc, char* argv[]) {
    PrepareGuiTestProcess();
    QApplication application(argc, argv);
    TDeviceCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "device_commands_guitest.moc"
