// The two diagnostics windows on the real main window against the device simulator: the Modbus
// diagnostics of a device's service interface on a pseudo-terminal, the device diagnostics over
// Modbus TCP, a device without diagnostic rows and a device that stops answering.
#include "gui_fixture.h"

#include "../tools/devsim_process.h"
#include "app/address_form.h"
#include "app/app_windows.h"
#include "app/device_diag_form.h"
#include "app/dialog_service.h"
#include "app/modbus_diag_form.h"
#include "i18n/strings_devicediag.h"
#include "i18n/strings_modbusdiag.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The simulator and the template database of the build: named by the build when it knows them,
// else found beside the test programs' folder.
QString BuiltFile(const char* configured, const QString& name) {
    if (configured && *configured)
        return QString::fromUtf8(configured);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/") + name;
}

#ifdef PARSETTA_DEVSIM
const char* const kDevsim = PARSETTA_DEVSIM;
#else
const char* const kDevsim = nullptr;
#endif
#ifdef PARSETTA_DEVICES_DB
const char* const kDevicesDb = PARSETTA_DEVICES_DB;
#else
const char* const kDevicesDb = nullptr;
#endif

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

void AnswerAddress(int address) {
    WhenShown<TAddressForm>(AppWindows().AddressForm, [=](TAddressForm* form) {
        form->SpinEditAddress()->setValue(address);
        form->accept();
    });
}

QTableWidgetItem* Cell(TModbusDiagForm* form, int address) {
    return form->AdrMapStringGrid()->item(address / 16, address % 16);
}

} // namespace

class TDiagnosticsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TGuiFixture> F;
    std::unique_ptr<TDevsimProcess> Sim;
    std::unique_ptr<TMainForm> Form;

    void StartAll(const std::vector<std::string>& simArgs) {
        const QString devsim = BuiltFile(kDevsim, QStringLiteral("parsetta-devsim"));
        const QString db = BuiltFile(kDevicesDb, QStringLiteral("devices.db"));
        if (!QFileInfo::exists(devsim) || !QFileInfo::exists(db))
            QSKIP("the device simulator is not built");
        F = std::make_unique<TGuiFixture>();
        QVERIFY(QFile::copy(db, F->InCwd("devices.db")));
        Sim = std::make_unique<TDevsimProcess>(devsim.toStdString(), db.toStdString(), simArgs);
        Form = F->Start({});
        QCOMPARE(Form->MainTimerTag(), 0);
        Form->DeviceConnection().SetSettleMs(20);
        TDialogService::Instance().ClearMessages();
    }
    void UseTcp(int port) {
        TModbusSetting s;
        s.Protocol = ProtocolTCP;
        s.Host = QStringLiteral("127.0.0.1");
        s.Port = port;
        s.Timeout = 300;
        s.Address = 1;
        Form->ApplyConnectionSettings(s);
    }
    TDeviceDiagForm* OpenDeviceDiag(int address) {
        AnswerAddress(address);
        FindAction(Form.get(), "MenuItemDiagDevice")->trigger();
        return AppWindows().DeviceDiagForm;
    }
    static QStringList Texts(const std::vector<QLabel*>& labels) {
        QStringList texts;
        for (const QLabel* label : labels)
            texts << (label ? label->text() : QStringLiteral("<memo>"));
        return texts;
    }

private slots:
    void cleanup() {
        Form.reset();
        Sim.reset();
        F.reset();
    }

    void modbusDiagnosticsShowsSettingsCountersAndMap() {
        const QString link = QDir::temp().filePath(
            QStringLiteral("parsetta-diag-%1").arg(QCoreApplication::applicationPid()));
        StartAll({"--pty", link.toStdString(), "--service", "--device", "000D@17"});
        QVERIFY(!Sim->WaitForLine(std::regex("listening:")).empty());
        TModbusSetting s;
        s.Protocol = ProtocolDevice;
        s.COMPort = link;
        s.Timeout = 300;
        Form->ApplyConnectionSettings(s);
        QAction* command = FindAction(Form.get(), "MenuItemDiagModbus");
        QVERIFY(command->isEnabled());
        command->trigger();

        TModbusDiagForm* form = AppWindows().ModbusDiagForm;
        QVERIFY(form->isVisible());
        QVERIFY(form->isModal());
        QTRY_VERIFY_WITH_TIMEOUT(form->Polling(), 5000);
        using namespace rs_modbusdiag;
        const QString settings = rsadresse.Text() + QStringLiteral(" 17, 19200 ") + rsbaud.Text() +
                                 QStringLiteral(", ") + rsparityeven.Text() + QStringLiteral(", ") +
                                 rsstoppbits1.Text() + QStringLiteral(", ") +
                                 rsresponsedela.Text() + QLatin1Char(' ');
        QVERIFY2(form->ModbusBaudLabel()->text().startsWith(settings),
                 qPrintable(form->ModbusBaudLabel()->text()));
        QCOMPARE(form->windowTitle(), Form->windowTitle());
        QCOMPARE(form->AdrMapStringGrid()->horizontalHeaderItem(15)->text(), QStringLiteral("xF"));
        QCOMPARE(form->AdrMapStringGrid()->verticalHeaderItem(1)->text(), QStringLiteral("1x"));

        // The map read marks the device's own address teal with white bold text (row 2, column 2).
        QTRY_VERIFY_WITH_TIMEOUT(form->RefreshImage()->isVisible(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!form->RefreshImage()->isVisible(), 3000);
        QTableWidgetItem* own = Cell(form, 17);
        QCOMPARE(own->text(), QStringLiteral("17"));
        QCOMPARE(own->background().color(), QColor(0, 153, 160));
        QCOMPARE(own->foreground().color(), QColor(Qt::white));
        QVERIFY(own->font().bold());
        QCOMPARE(Cell(form, 0)->background().color(), QColor(204, 204, 204));
        QCOMPARE(Cell(form, 255)->background().color(), QColor(204, 204, 204));
        QCOMPARE(Cell(form, 18)->text(), QString());
        // The telegrams since the reset grow from one read to the next.
        const int first = form->CounterTele()->text().toInt();
        QTRY_VERIFY_WITH_TIMEOUT(form->CounterTele()->text().toInt() > first, 5000);
        QCOMPARE(form->CounterError()->text(), QStringLiteral("0"));

        form->findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
        QVERIFY(!form->isVisible());
        QVERIFY(!form->Timer1().isActive());
        QVERIFY(!Form->DeviceConnection().RTUport.Active());
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());
    }

    void deviceDiagnosticsShowsTheUT10sValues() {
        StartAll({"--tcp", "127.0.0.1:0", "--device", "000D@1"});
        UseTcp(Sim->Port());
        TDeviceDiagForm* form = OpenDeviceDiag(1);
        QVERIFY(form->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(form->Polling(), 5000);
        QCOMPARE(form->FirmwareLabel()->text(), QStringLiteral("01.0.6"));
        QVERIFY(form->TitleLabel()->text().startsWith(rs_devicediag::rsgeraetediagn.Text() + ' '));
        QCOMPARE(form->CaptionLabels().size(), 7u);
        QCOMPARE(form->Memos().size(), 2u);
        QVERIFY(form->width() >= 512);
        // Every caption has room for its text; the bit lists stand right of the values.
        for (const QLabel* caption : form->CaptionLabels())
            QVERIFY2(caption->sizeHint().width() <= caption->width(), qPrintable(caption->text()));
        QVERIFY(form->Memos()[0]->x() > form->ValueLabels()[0]->geometry().right());
        QTRY_VERIFY_WITH_TIMEOUT(!form->ValueLabels()[2]->text().isEmpty(), 3000);
        const QStringList values = Texts(form->ValueLabels());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^-?\\d+[.,]\\d °C$")).match(values[2]).hasMatch(),
            qPrintable(values.join('|')));
        QVERIFY2(values[3].endsWith(QStringLiteral(" h")), qPrintable(values.join('|')));
        QVERIFY(!form->Memos()[0]->toPlainText().isEmpty());
        QCOMPARE(TDialogService::Instance().Messages(), QStringList());

        // A device that stops answering shows errors in its rows instead of made-up numbers.
        Sim.reset();
        QTRY_COMPARE_WITH_TIMEOUT(form->ValueLabels()[2]->text(), QStringLiteral("Error"), 5000);
        form->reject();
        QVERIFY(!form->Timer1().isActive());
        QVERIFY(form->CaptionLabels().empty());
        QCOMPARE(form->width(), 282);
    }

    void deviceWithoutDiagnosticRowsClosesWithTheMessage() {
        StartAll({"--tcp", "127.0.0.1:0", "--device", "0002@4,version=0101"});
        UseTcp(Sim->Port());
        TDeviceDiagForm* form = OpenDeviceDiag(4);
        QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 5000);
        QCOMPARE(TDialogService::Instance().Messages().join('|'),
                 rs_devicediag::rsdiagnosefunk.Text());
        QCOMPARE(form->FirmwareLabel()->text(), QStringLiteral("01.0.1"));
        QVERIFY(!form->Polling());
    }

    void noDeviceClosesTheModbusWindow() {
        // A line without a service interface: nothing answers at station 68.
        const QString link = QDir::temp().filePath(
            QStringLiteral("parsetta-diag-none-%1").arg(QCoreApplication::applicationPid()));
        StartAll({"--pty", link.toStdString(), "--device", "000D@1"});
        QVERIFY(!Sim->WaitForLine(std::regex("listening:")).empty());
        TModbusSetting s;
        s.Protocol = ProtocolDevice;
        s.COMPort = link;
        s.Timeout = 100;
        Form->ApplyConnectionSettings(s);
        FindAction(Form.get(), "MenuItemDiagModbus")->trigger();
        TModbusDiagForm* form = AppWindows().ModbusDiagForm;
        QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 5000);
        QCOMPARE(TDialogService::Instance().Messages().join('|'),
                 rs_modbusdiag::rsnodevicefoun.Text());
        QVERIFY(!form->Polling());
    }
};

int main(int argc, char* argv[]) {
    PrepareGuiTestProcess();
    QApplication application(argc, argv);
    TDiagnosticsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "diagnostics_guitest.moc"
