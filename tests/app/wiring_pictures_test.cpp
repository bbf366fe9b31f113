// Every picture that a wiring rule of the bundled template names is a resource of the program.
#include <QDir>
#include <QFile>
#include <QImage>
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> TemplatePictureNames() {
    SQLite::Database db(":memory:", SQLite::OPEN_READWRITE);
    const QDir sources(QStringLiteral(PARSETTA_TEMPLATE_SQL_DIR));
    for (const QString& name :
         sources.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        QFile file(sources.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        db.exec(file.readAll().toStdString());
    }
    std::vector<std::string> names;
    SQLite::Statement query(db, "SELECT DISTINCT png FROM mb_png WHERE pos BETWEEN 1 AND 8");
    while (query.executeStep())
        names.push_back(query.getColumn(0).getString());
    return names;
}

} // namespace

TEST(WiringPictures, EveryRulePictureIsAResource) {
    Q_INIT_RESOURCE(wiring);
    const std::vector<std::string> names = TemplatePictureNames();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        const QImage picture(QStringLiteral(":/wiring/") + QString::fromStdString(name));
        EXPECT_FALSE(picture.isNull()) << name;
    }
}

TEST(WiringPictures, DeviceBodiesFitTheirPlace) {
    Q_INIT_RESOURCE(wiring);
    for (const char* name : {"DEVICE_GN", "DEVICE_GR", "DEVICE_SW"})
        EXPECT_EQ(QImage(QStringLiteral(":/wiring/") + QLatin1String(name)).size(), QSize(129, 144))
            << name;
}
