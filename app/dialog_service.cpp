#include "app/dialog_service.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

TDialogService& TDialogService::Instance() {
    static TDialogService service;
    return service;
}

void TDialogService::SetTestMode(bool on) {
    TestMode_ = on;
    Answers_.clear();
    Files_.clear();
    Messages_.clear();
    OpenedUrls_.clear();
}

void TDialogService::ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
    if (TestMode_) {
        Messages_ << text;
        return;
    }
    QMessageBox::information(parent, caption, text);
}

void TDialogService::ShowError(QWidget* parent, const QString& caption, const QString& text) {
    if (TestMode_) {
        Messages_ << text;
        return;
    }
    QMessageBox::critical(parent, caption, text);
}

bool TDialogService::Question(QWidget* parent, const QString& caption, const QString& text) {
    if (TestMode_) {
        Messages_ << text;
        if (Answers_.empty())
            return false;
        const bool yes = Answers_.front();
        Answers_.pop_front();
        return yes;
    }
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString TDialogService::NextFile() {
    if (Files_.empty())
        return {};
    QString file = Files_.front();
    Files_.pop_front();
    return file;
}

QString TDialogService::OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter) {
    if (TestMode_)
        return NextFile();
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString TDialogService::SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter) {
    if (TestMode_)
        return NextFile();
    return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

void TDialogService::OpenUrl(const QUrl& url) {
    if (TestMode_) {
        OpenedUrls_ << url;
        return;
    }
    QDesktopServices::openUrl(url);
}
