// The Qt user-interface thread of the stack: calls from workers run on the thread that owns the
// event loop, in order, and RunAndWait returns only after its call (carrying exceptions back).
#include "app/qt_ui_thread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

class QtUIThreadTest : public QObject {
    Q_OBJECT

private:
    // Pumps the event loop through the interface until done holds (at most 5 s).
    static bool PumpUntil(TUIThread& ui, const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 5000)
            ui.ProcessPending(10);
        return done();
    }

private slots:
    void installsItselfWhileItLives() {
        const void* installed = nullptr;
        {
            TQtUIThread ui;
            QCOMPARE(&UIThread(), static_cast<TUIThread*>(&ui));
            installed = &ui;
        }
        QVERIFY(static_cast<const void*>(&UIThread()) != installed);
        std::atomic<bool> ranHere{false};
        std::thread([&] { UIThread().RunAndWait([&] { ranHere = true; }); }).join();
        QVERIFY(ranHere); // the direct default runs on the worker itself
    }

    void isCurrentOnlyOnItsOwnThread() {
        TQtUIThread ui;
        QVERIFY(ui.IsCurrent());
        std::atomic<bool> onWorker{true};
        std::thread([&] { onWorker = ui.IsCurrent(); }).join();
        QVERIFY(!onWorker);
    }

    void runAndWaitRunsOnTheOwnerAndReturnsAfterTheCall() {
        TQtUIThread ui;
        QThread* owner = QThread::currentThread();
        QThread* ranOn = nullptr;
        std::atomic<bool> returned{false};
        bool ranBeforeReturn = false;
        std::thread worker([&] {
            ui.RunAndWait([&] { ranOn = QThread::currentThread(); });
            ranBeforeReturn = ranOn != nullptr;
            returned = true;
        });
        QVERIFY(PumpUntil(ui, [&] { return returned.load(); }));
        worker.join();
        QCOMPARE(ranOn, owner);
        QVERIFY(ranBeforeReturn);
        // On the owner itself it runs at once.
        bool direct = false;
        ui.RunAndWait([&] { direct = true; });
        QVERIFY(direct);
    }

    void runAndWaitCarriesExceptionsBack() {
        TQtUIThread ui;
        std::atomic<bool> caught{false};
        std::thread worker([&] {
            try {
                ui.RunAndWait([] { throw std::runtime_error("refused"); });
            } catch (const std::runtime_error& error) {
                caught = std::string(error.what()) == "refused";
            }
        });
        QVERIFY(PumpUntil(ui, [&] { return caught.load(); }));
        worker.join();
    }

    void postedCallsRunLaterInOrder() {
        TQtUIThread ui;
        std::vector<int> order;
        std::thread([&] {
            for (int i = 0; i < 50; ++i)
                ui.Post([&order, i] { order.push_back(i); });
        }).join();
        QVERIFY(order.empty()); // nothing runs until the owner's loop does
        ui.Post([&order] { order.push_back(50); });
        QVERIFY(order.size() == 0);
        QVERIFY(PumpUntil(ui, [&] { return order.size() == 51; }));
        for (int i = 0; i <= 50; ++i)
            QCOMPARE(order[static_cast<size_t>(i)], i);
    }
};

QTEST_GUILESS_MAIN(QtUIThreadTest)
#include "qt_ui_thread_guitest.moc"
