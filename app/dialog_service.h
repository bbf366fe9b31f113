#pragma once

#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

// Every message box, question and file dialog of the program goes through here. In test mode no
// window is shown: messages are recorded, questions take the answers queued beforehand (No when
// none is left) and file dialogs take the queued file names (cancel when none is left).
class TDialogService {
public:
    static TDialogService& Instance();

    void ShowMessage(QWidget* parent, const QString& caption, const QString& text);
    void ShowError(QWidget* parent, const QString& caption, const QString& text);
    bool Question(QWidget* parent, const QString& caption, const QString& text);
    QString OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter);
    QString SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter);

    // Test side.
    void SetTestMode(bool on);
    bool TestMode() const { return TestMode_; }
    void QueueAnswer(bool yes) { Answers_.push_back(yes); }
    void QueueFileName(const QString& file) { Files_.push_back(file); }
    const QStringList& Messages() const { return Messages_; }
    void ClearMessages() { Messages_.clear(); }

private:
    TDialogService() = default;
    QString NextFile();

    bool TestMode_ = false;
    std::deque<bool> Answers_;
    std::deque<QString> Files_;
    QStringList Messages_;
};
