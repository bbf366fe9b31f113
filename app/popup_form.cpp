#include "app/popup_form.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

TPopupForm::TPopupForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      LabelCaption_(new QLabel(this)), Balken_(new QProgressBar(this)) {
    setObjectName(QStringLiteral("PopupForm"));
    LabelCaption_->setObjectName(QStringLiteral("LabelCaption"));
    Balken_->setObjectName(QStringLiteral("Balken"));
    Timer1_.setObjectName(QStringLiteral("Timer1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelCaption_);
    layout->addWidget(Balken_);
    resize(320, 70);
    Timer1_.setSingleShot(false);
    connect(&Timer1_, &QTimer::timeout, this, &TPopupForm::Timer1Timer);
}

void TPopupForm::StartProgress(const QString& caption, int maximum) {
    Timer1_.start(WatchdogInterval_);
    Balken_->setRange(0, std::max(0, maximum));
    Balken_->setValue(0);
    LabelCaption_->setText(caption);
    if (parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    show();
    QApplication::processEvents();
}

void TPopupForm::StepProgress(int position) {
    Timer1_.start(WatchdogInterval_);
    Balken_->setValue(std::clamp(position, Balken_->minimum(), Balken_->maximum()));
    QApplication::processEvents();
}

void TPopupForm::FinishProgress() {
    Timer1_.stop();
    Balken_->setValue(Balken_->maximum());
    // Keep the full bar in view for about 1.2 s so the user sees the pass has ended.
    for (int round = 0; round < 12; ++round) {
        QApplication::processEvents();
        QThread::msleep(100);
    }
    hide();
}

void TPopupForm::Timer1Timer() {
    FinishProgress();
}
