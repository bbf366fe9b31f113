#include "app/start_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

TStartEnvironment TStartEnvironment::FromApplication() {
    TStartEnvironment env;
    QStringList arguments = QCoreApplication::arguments();
    env.ProgramPath = arguments.isEmpty() ? QString() : arguments.takeFirst();
    env.Arguments = arguments;
    const QString programDir = QCoreApplication::applicationDirPath();
    env.TemplateFolders << QDir::currentPath() << programDir
                        << QDir(programDir).absoluteFilePath(QStringLiteral("../share/parsetta"));
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        env.TemplateFolders << QDir(data).absoluteFilePath(QStringLiteral("parsetta"));
    return env;
}
