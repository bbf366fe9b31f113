#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>

class QWidget;

// Every message box, question and file dialog of the program goes through here, and so does
// handing a web address or document to the system's viewer. In test mode no window is shown:
// messages are recorded, questions take the answers queued beforehand (No when none is left),
// file dialogs take the queued file names (cancel when none is left) and addresses are recorded
// instead of opened.
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
    // The system's "open" for a web address or a local document; what the system makes of it is
    // not reported.
    void OpenUrl(const QUrl& url);

    // Test side.
    void SetTestMode(bool on);
    bool TestMode() const { return TestMode_; }
    void QueueAnswer(bool yes) { Answers_.push_back(yes); }
    void QueueFileName(const QString& file) { Files_.push_back(file); }
    const QStringList& Messages() const { return Messages_; }
    void ClearMessages() { Messages_.clear(); }
    const QList<QUrl>& OpenedUrls() const { return OpenedUrls_; }

private:
    TDialogService() = default;
    QString NextFile();

    bool TestMode_ = false;
    std::deque<bool> Answers_;
    std::deque<QString> Files_;
    QStringList Messages_;
    QList<QUrl> OpenedUrls_;
};
