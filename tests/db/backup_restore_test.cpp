#include "db/backup_restore.h"
#include "db/node_manager.h"
#include "db/node_tree.h"

#include "node_fixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

class BackupRestoreTest : public ::testing::Test {
protected:
    BackupRestoreTest() : Manager(F.Db) {
        Manager.SetReplaceTags(&TestReplaceTags);
        FirstDevice = Manager.AddNodeFromTemplate(39);
        Manager.AddNodeFromTemplate(13);
        F.Log.clear();
    }

    QStringList Snapshot() {
        return F.UserRows("SELECT * FROM mb_node ORDER BY id") +
               F.UserRows("SELECT * FROM mb_parameter ORDER BY id") +
               F.UserRows("SELECT * FROM mb_segment ORDER BY id");
    }

    // The user database is still open and answers queries.
    void ExpectUsable() {
        ASSERT_TRUE(F.Db.SQLite3Con.Connected());
        EXPECT_FALSE(ReadNodeTree(F.Db, 1, {}).Empty());
    }

    QStringList UserFolderEntries() {
        return QDir(QFileInfo(F.UserPath).absolutePath()).entryList(QDir::Files);
    }

    TNodeFixture F;
    TNodeManager Manager;
    int FirstDevice = -1;
};

} // namespace

TEST_F(BackupRestoreTest, BackupThenRestoreGivesBackTheSameRows) {
    const QStringList before = Snapshot();
    const QString backup = F.Path("backup.dbb");
    WriteText(backup, "an older backup that is replaced");

    ASSERT_TRUE(BackupUserDatabase(F.Db, backup).Ok());
    EXPECT_EQ(F.Log, QStringList({"BACKUP in " + backup}));
    Manager.DeleteDevice(FirstDevice);
    Manager.AddNodeFromTemplate(13);
    ASSERT_NE(Snapshot(), before);
    F.Log.clear();

    const TBackupResult result = RestoreUserDatabase(F.Db, backup);

    ASSERT_TRUE(result.Ok()) << result.Detail.toStdString();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(F.Log, QStringList({"RESTORE from " + backup}));
    EXPECT_EQ(UserFolderEntries(), QStringList({"kolvanebus.db"}));
    ExpectUsable();
}

TEST_F(BackupRestoreTest, FailedBackupIsReported) {
    const TBackupResult result = BackupUserDatabase(F.Db, F.Path("no/such/folder/b.dbb"));

    EXPECT_EQ(result.Error, beCopyFailed);
    EXPECT_FALSE(result.Detail.isEmpty());
    EXPECT_TRUE(F.Log.isEmpty());
    ExpectUsable();
}

TEST_F(BackupRestoreTest, BackupOverTheDatabaseItselfIsRefused) {
    EXPECT_EQ(BackupUserDatabase(F.Db, F.UserPath).Error, beTargetIsDatabase);
    F.Db.SQLite3Con.Execute("UPDATE mb_segment SET tag='after' WHERE id=1", 0);
    EXPECT_EQ(F.UserRows("SELECT tag FROM mb_segment"), QStringList({"after"}));
    EXPECT_EQ(F.UserRows("SELECT count(*) FROM mb_node"), QStringList({"4"}));
    EXPECT_TRUE(F.Log.isEmpty());
}

TEST_F(BackupRestoreTest, RestoringAFileThatIsNoUserDatabaseChangesNothingAndSaysWhy) {
    const QString text = F.Path("notes.dbb");
    WriteText(text, QByteArray("these are notes, not a database\n").repeated(200));
    const QString partial = F.Path("partial.dbb");
    ExecOnFile(partial, "CREATE TABLE mb_segment (id int); CREATE TABLE mb_node (id int);");
    const QString empty = F.Path("empty.dbb");
    WriteText(empty, "");
    struct Case {
        QString File;
        TBackupError Error;
        QString Detail;
    };
    const Case cases[] = {
        {text, beNotADatabase, {}},
        {partial, beMissingTables, "mb_parameter"},
        {empty, beMissingTables, "mb_segment, mb_node, mb_parameter"},
        {F.Path("missing.dbb"), beSourceMissing, F.Path("missing.dbb")},
    };
    const QByteArray userFile = Bytes(F.UserPath);
    for (const Case& c : cases) {
        const TBackupResult result = RestoreUserDatabase(F.Db, c.File);

        EXPECT_EQ(result.Error, c.Error) << c.File.toStdString();
        if (!c.Detail.isEmpty()) {
            EXPECT_EQ(result.Detail, c.Detail);
        }
        EXPECT_FALSE(result.Detail.isEmpty());
        EXPECT_EQ(Bytes(F.UserPath), userFile);
        EXPECT_TRUE(F.Log.isEmpty());
        ExpectUsable();
    }
}

TEST_F(BackupRestoreTest, RestoringTheOpenFileItselfKeepsItsRows) {
    const QStringList before = Snapshot();

    const TBackupResult result = RestoreUserDatabase(F.Db, F.UserPath);

    ASSERT_TRUE(result.Ok()) << result.Detail.toStdString();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(UserFolderEntries(), QStringList({"kolvanebus.db"}));
    ExpectUsable();
}

TEST_F(BackupRestoreTest, AnOlderBackupGetsTheColumnsItLacks) {
    const QString old = F.Path("old.dbb");
    ExecOnFile(old, "CREATE TABLE mb_segment (id INTEGER PRIMARY KEY, pid int, sorting int,"
                    " caption varchar(64), tag varchar(16));"
                    "INSERT INTO mb_segment VALUES(1,0,0,'Halle 3','');"
                    "CREATE TABLE mb_node (id INTEGER PRIMARY KEY, pid int, parentID int,"
                    " name varchar(32), addr int, tag varchar(16), rfid varchar(16), icon int,"
                    " icon_active int);"
                    "INSERT INTO mb_node VALUES(4,1,0,'DI4',7,'Pumpe','',20,21);"
                    "CREATE TABLE mb_parameter (id INTEGER PRIMARY KEY, pid int);");

    ASSERT_TRUE(RestoreUserDatabase(F.Db, old).Ok());

    EXPECT_TRUE(F.Log.contains("Add Field: mb_node.collapse"));
    const TNodeTree tree = ReadNodeTree(F.Db, 1, {});
    ASSERT_FALSE(tree.Empty());
    EXPECT_EQ(tree.Segment->Caption, QStringLiteral("Halle 3"));
    ASSERT_EQ(tree.Segment->Children.size(), 1u);
    EXPECT_EQ(tree.Segment->Children[0].Caption, QStringLiteral("[ 7 ]  DI4: Pumpe"));
    EXPECT_TRUE(tree.Segment->Children[0].Expanded);
}
