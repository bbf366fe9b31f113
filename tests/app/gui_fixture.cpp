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
    // The language at start falls back to the brand's when the system's is none of the three.
    qputenv("LC_ALL", "C.UTF-8");
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
    db.exec(
        "CREATE TABLE mb_parameter (id INTEGER PRIMARY KEY, pid int, sorting int, modreg int,"
        " regcnt int, access int, type text, value text, min text, max text, factory text,"
        " textID int, copyto text, refresh text, block text, byteofs text, label text,"
        " cond text, vallist text);"
        "INSERT INTO mb_parameter VALUES(1,0,1,45201,12,3,'ASCII24','','','','',5,"
        "'mb_segment.caption','1','0','0','','','');"
        "INSERT INTO mb_parameter VALUES(2,0,2,45213,8,3,'ASCII16','','','','',6,"
        "'mb_segment.tag','1','0','0','','','');"
        // Device 39 with three sub-nodes; device 34 without any.
        "CREATE TABLE mb_node (id INTEGER PRIMARY KEY, pid int NOT NULL DEFAULT 0,"
        " sorting int NOT NULL DEFAULT 0, title text NOT NULL DEFAULT '',"
        " parentID int NOT NULL DEFAULT 0, name text NOT NULL DEFAULT '',"
        " fullnameID int NOT NULL DEFAULT 0, devid text NOT NULL DEFAULT '',"
        " vendorID int NOT NULL DEFAULT 0, icon int NOT NULL DEFAULT -1,"
        " icon_active int NOT NULL DEFAULT -1, minversion text NOT NULL DEFAULT '',"
        " maxversion text NOT NULL DEFAULT '', online text NOT NULL DEFAULT '',"
        " addr int NOT NULL DEFAULT 0, rfid text NOT NULL DEFAULT '',"
        " tag text NOT NULL DEFAULT '', cond text NOT NULL DEFAULT '',"
        " vallist text NOT NULL DEFAULT '', load text NOT NULL DEFAULT '',"
        " collapse text NOT NULL DEFAULT '');"
        "INSERT INTO mb_node (id,pid,sorting,title,parentID,name,fullnameID,devid,icon,"
        "icon_active,maxversion) VALUES"
        "(39,0,1,'{{UT10}}{{abv16}}',0,'{{UT10}}',10,'000D',20,21,''),"
        "(34,0,1,'{{AI4}}',0,'{{AI4}}',14,'0006',20,21,''),"
        "(391,0,1,'Input',39,'Input',11,'',22,22,''),"
        "(392,0,2,'Relay ''K1''',39,'Relay ''K1''',12,'',25,25,''),"
        "(393,0,3,'Device data',39,'Device data',13,'',27,27,'');"
        "INSERT INTO mb_parameter (pid,sorting,modreg,regcnt,access,type,value,textID,copyto,"
        "label) VALUES"
        "(39,1,45010,1,3,'UINT16','1',20,'mb_node.addr',''),"
        "(39,2,45151,8,3,'ASCII16','',21,'mb_node.tag',''),"
        "(391,1,41001,1,3,'SELECT_IN','0',22,'','IT'),"
        "(391,2,41003,1,3,'UINT16','10',23,'',''),"
        "(392,1,41201,1,3,'UINT16','it''s set',24,'','R1'),"
        "(34,1,45010,1,3,'UINT16','1',20,'mb_node.addr','');"
        // Text ids with gaps (3, 4 and 6 to 9 have no row).
        "CREATE TABLE mb_text (id INTEGER PRIMARY KEY, txt_de text, txt_en text, txt_fr text);"
        "INSERT INTO mb_text VALUES"
        "(1,'Eins','One','Un'),(2,'Zwei','Two','Deux'),(5,'Fünf','Five','Cinq'),"
        "(10,'{{UT10}} Universaltransmitter{{abv16}}','{{UT10}} universal transmitter{{abv16}}',"
        "'Transmetteur universel {{UT10}}{{abv16}}'),"
        "(11,'Eingang','Input','Entrée'),(12,'Relais','Relay','Relais'),"
        "(13,'Gerätedaten','Device data','Données de l''appareil'),"
        "(14,'{{AI4}} Analogeingang','{{AI4}} analogue input','Entrée analogique {{AI4}}');"
        "CREATE TABLE mb_select (id INTEGER PRIMARY KEY, title text, type int, multiple text);"
        "INSERT INTO mb_select VALUES(1,'SELECT_IN',0,'');"
        "CREATE TABLE mb_option (id INTEGER PRIMARY KEY, pid int, value int, sorting int,"
        " textID int, symbol int, selected text);"
        "INSERT INTO mb_option VALUES(1,1,0,1,1,25,''),(2,1,1,2,2,22,'1');"
        "CREATE TABLE mb_png (id INTEGER PRIMARY KEY, devid text, pos int, png text,"
        " modreg1 int, mask1 int, vlist1 text, modreg2 int, mask2 int, vlist2 text,"
        " modreg3 int, mask3 int, vlist3 text);");
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
