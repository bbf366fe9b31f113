#include "db/template_locator.h"

#include "db_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

struct TCurrentDir {
    explicit TCurrentDir(const QString& path) : Old(QDir::currentPath()) { QDir::setCurrent(path); }
    ~TCurrentDir() { QDir::setCurrent(Old); }
    QString Old;
};

} // namespace

TEST(TemplateLocator, CurrentFolderThenBesideProgramThenDataFolder) {
    TDbFixture f;
    QDir(f.Dir.path()).mkpath(QStringLiteral("cwd"));
    QDir(f.Dir.path()).mkpath(QStringLiteral("bin"));
    QDir(f.Dir.path()).mkpath(QStringLiteral("share"));
    const QStringList folders = {f.Path("cwd"), f.Path("bin"), f.Path("share")};
    TCurrentDir cwd(f.Path("cwd"));

    f.MakeTemplate(QStringLiteral("share/devices.db"));
    EXPECT_EQ(FindTemplateDatabase("devices.db", folders).Path, f.Path("share/devices.db"));
    f.MakeTemplate(QStringLiteral("bin/devices.db"));
    EXPECT_EQ(FindTemplateDatabase("devices.db", folders).Path, f.Path("bin/devices.db"));
    f.MakeTemplate(QStringLiteral("cwd/devices.db"));
    EXPECT_EQ(FindTemplateDatabase("devices.db", folders).Path, QStringLiteral("devices.db"));
}

TEST(TemplateLocator, MissingTemplateNamesEveryPlaceAndCreatesNothing) {
    TDbFixture f;
    const QStringList folders = {f.Path("a"), f.Path("b"), f.Path("a")};
    const TTemplateLookup lookup = FindTemplateDatabase("devices.db", folders);
    EXPECT_FALSE(lookup.Found());
    EXPECT_EQ(lookup.Searched, QStringList({f.Path("a/devices.db"), f.Path("b/devices.db")}));
    const QString message = TemplateNotFoundMessage(lookup);
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(f.Path("a/devices.db"))));
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(f.Path("b/devices.db"))));
    EXPECT_FALSE(QFileInfo::exists(f.Path("a/devices.db")));
}
