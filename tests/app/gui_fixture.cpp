#include "gui_fixture.h"

#include "app/about_form.h"
#include "app/app_windows.h"
#include "app/dialog_service.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <SQLiteCpp/SQLiteCpp.h>

namespace {
QTemporaryDir& ConfigDir() {
    static QTemporaryDir dir;
    return dir;
}
} // namespace

void PrepareGuiTestProcess() {
    qputenv("XDG_CONFIG_HOME", ConfigDir().path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString TGuiFixture::ConfigHome() {
    return ConfigDir().path();
}

QString TGuiFixture::SettingsFile(const QString& organization, const QString& application) {
    return ConfigHome() + QLatin1Char('/') + organization + QLatin1Char('/') + application +
           QStringLiteral(".conf");
}

TGuiFixture::TGuiFixture() : OldCwd_(QDir::currentPath()) {
    QDir(Dir_.path()).mkpath(QStringLiteral("cwd"));
    QDir(ConfigHome()).removeRecursively();
    QDir().mkpath(ConfigHome());
    qputenv("XDG_DATA_HOME", DataHome().toUtf8());
    QDir::setCurrent(Cwd());
    TDialogService::Instance().SetTestMode(true);
}

TGuiFixture::~TGuiFixture() {
    QDir::setCurrent(OldCwd_);
}

void TGuiFixture::MakeTemplate() const {
    SQLite::Database db(InCwd(QStringLiteral("devices.db")).toStdString(),
                        SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec("CREATE TABLE mb_parameter (id INTEGER PRIMARY KEY, pid int, sorting int, modreg int,"
            " regcnt int, access int, type text, value text, min text, max text, factory text,"
            " textID int, copyto text, refresh text, block text, byteofs text, label text,"
            " cond text, vallist text);"
            "INSERT INTO mb_parameter VALUES(1,0,1,45201,12,3,'ASCII24','','','','',5,"
            "'mb_segment.caption','1','0','0','','','');"
            "INSERT INTO mb_parameter VALUES(2,0,2,45213,8,3,'ASCII16','','','','',6,"
            "'mb_segment.tag','1','0','0','','','');");
}

std::unique_ptr<TMainForm> TGuiFixture::Start(const QStringList& arguments,
                                              const QString& programPath, bool keepAbout) {
    TStartEnvironment env;
    env.ProgramPath = programPath;
    env.Arguments = arguments;
    env.TemplateFolders = {Cwd()};
    std::unique_ptr<TMainForm> form = CreateAppWindows(env);
    form->show();
    if (!QTest::qWaitFor([&] { return form->MainTimerTag() == 0; }, 5000))
        return form;
    TAboutForm* about = AppWindows().AboutForm;
    if (!keepAbout && about && about->isVisible())
        about->reject();
    return form;
}

QAction* FindAction(QWidget* form, const char* name) {
    return form->findChild<QAction*>(QLatin1String(name));
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
