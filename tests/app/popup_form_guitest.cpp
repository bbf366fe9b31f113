#include "gui_fixture.h"

#include "app/popup_form.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

class TPopupFormTest : public QObject {
    Q_OBJECT
private slots:
    void stepsMoveTheBarWithinItsRange();
    void watchdogFinishesASilentWindow();
};

void TPopupFormTest::stepsMoveTheBarWithinItsRange() {
    TPopupForm popup;
    popup.StartProgress(QStringLiteral("AddNode"), 7);
    QVERIFY(popup.isVisible());
    QCOMPARE(popup.LabelCaption()->text(), QStringLiteral("AddNode"));
    QCOMPARE(popup.Balken()->maximum(), 7);
    QCOMPARE(popup.Balken()->value(), 0);
    QVERIFY(popup.Timer1().isActive());
    QCOMPARE(popup.Timer1().interval(), 10000);
    popup.StepProgress(3);
    QCOMPARE(popup.Balken()->value(), 3);
    popup.StepProgress(12);
    QCOMPARE(popup.Balken()->value(), 7);
    popup.FinishProgress();
    QVERIFY(!popup.isVisible());
    QVERIFY(!popup.Timer1().isActive());
}

void TPopupFormTest::watchdogFinishesASilentWindow() {
    TPopupForm popup;
    popup.SetWatchdogInterval(100);
    popup.StartProgress(QStringLiteral("Read Device"), 5);
    popup.StepProgress(2);
    QVERIFY(popup.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!popup.isVisible(), 5000);
    QCOMPARE(popup.Balken()->value(), 5);
}

int main(int argc, char* argv[]) {
    PrepareGuiTestProcess();
    QApplication application(argc, argv);
    TPopupFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "popup_form_guitest.moc"
