#pragma once

#include <QString>
#include <QStringList>

// What the program is started with: its own path as called (a link's name counts, not its target),
// the arguments after it, and the folders searched for the template database in order.
struct TStartEnvironment {
    QString ProgramPath;
    QStringList Arguments;
    QStringList TemplateFolders;

    // From the running application: current folder, the program's folder, the installed data
    // folders.
    static TStartEnvironment FromApplication();
};
