#pragma once

#include "app/main_form.h"

#include <QTemporaryDir>
#include <memory>

class QAction;

// Sets the process-wide folders of the widget tests before the application object exists: the
// settings store goes into a temporary folder for the whole run.
void PrepareGuiTestProcess();

// One program start in temporary folders: a current folder (with or without a template
// database), an application-data folder and an empty settings store.
class TGuiFixture {
public:
    TGuiFixture();
    ~TGuiFixture();
    TGuiFixture(const TGuiFixture&) = delete;
    TGuiFixture& operator=(const TGuiFixture&) = delete;

    QString Cwd() const { return Dir_.filePath(QStringLiteral("cwd")); }
    QString DataHome() const { return Dir_.filePath(QStringLiteral("data")); }
    static QString ConfigHome();
    static QString SettingsFile(const QString& organization, const QString& application);
    QString InCwd(const QString& name) const { return Cwd() + QLatin1Char('/') + name; }

    // A small template database in the current folder: two common parameter rows, device 39
    // with the sub-nodes Input, Relay 'K1' and Device data, device 34 without sub-nodes, texts in
    // three languages with gaps in their ids, and one option list.
    void MakeTemplate() const;

    // Creates the windows as the program does, shows the main window and waits until the start
    // sequence has run. The about box, when it opens at start, is closed again unless keepAbout.
    std::unique_ptr<TMainForm>
    Start(const QStringList& arguments,
          const QString& programPath = QStringLiteral("/opt/parsetta/parsetta"),
          bool keepAbout = false);

private:
    QTemporaryDir Dir_;
    QString OldCwd_;
};

QAction* FindAction(QWidget* form, const char* name);
QString ReadText(const QString& path);
