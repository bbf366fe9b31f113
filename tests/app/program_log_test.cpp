#include "app/program_log.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST(ProgramLog, OffUntilANameIsSetThenAppendsPlainLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Parsetta.log");
    SetLogFile(QString());
    LogLine("lost");
    EXPECT_FALSE(QFile::exists(path));

    SetLogFile(path);
    LogLine("START");
    LogLine("Neue Datenbank kolvanebus.db wird angelegt!");
    EXPECT_EQ(ReadAll(path), QByteArray("START\nNeue Datenbank kolvanebus.db wird angelegt!\n"));

    SetLogFile(path);
    LogLine("zweiter Lauf");
    EXPECT_TRUE(ReadAll(path).endsWith("angelegt!\nzweiter Lauf\n"));

    SetLogFile(QString());
    LogLine("after off");
    EXPECT_FALSE(ReadAll(path).contains("after off"));
}

TEST(ProgramLog, AFileThatCannotBeCreatedDropsTheLine) {
    QTemporaryDir dir;
    SetLogFile(dir.filePath("missing/folder/Parsetta.log"));
    LogLine("START");
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/folder/Parsetta.log")));
    SetLogFile(QString());
}
