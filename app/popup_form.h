#pragma once

#include "db/progress_sink.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QProgressBar;

// The shared progress window of long passes. Shown by StartProgress; every step rearms a
// watchdog, and a window that gets no step for its interval (10 s) finishes and hides itself.
class TPopupForm : public QDialog, public TProgressSink {
    Q_OBJECT
public:
    explicit TPopupForm(QWidget* parent = nullptr);

    void StartProgress(const QString& caption, int maximum) override;
    void StepProgress(int position) override;
    void FinishProgress() override;

    QLabel* LabelCaption() const { return LabelCaption_; }
    QProgressBar* Balken() const { return Balken_; }
    QTimer& Timer1() { return Timer1_; }

    int WatchdogInterval() const { return WatchdogInterval_; }
    void SetWatchdogInterval(int ms) { WatchdogInterval_ = ms; }

private:
    void Timer1Timer();

    QLabel* LabelCaption_;
    QProgressBar* Balken_;
    QTimer Timer1_;
    int WatchdogInterval_ = 10000;
};
