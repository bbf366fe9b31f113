#include "db/template_locator.h"

#include <QDir>
#include <QFileInfo>

TTemplateLookup FindTemplateDatabase(const QString& fileName, const QStringList& folders) {
    TTemplateLookup lookup;
    const QString current = QDir::current().absolutePath();
    for (const QString& folder : folders) {
        const QString candidate = QDir(folder).absoluteFilePath(fileName);
        if (lookup.Searched.contains(candidate))
            continue;
        lookup.Searched << candidate;
        if (!QFileInfo(candidate).isFile())
            continue;
        lookup.Path = QDir(folder).absolutePath() == current ? fileName : candidate;
        break;
    }
    return lookup;
}

QString TemplateNotFoundMessage(const TTemplateLookup& lookup) {
    QString message = QStringLiteral("Die Vorlagendatenbank wurde nicht gefunden. Gesucht:");
    for (const QString& place : lookup.Searched)
        message += QStringLiteral("\n") + QDir::toNativeSeparators(place);
    return message;
}
