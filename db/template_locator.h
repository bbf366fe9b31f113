#pragma once

#include <QString>
#include <QStringList>

// Where the template database was found, and every place that was looked at.
struct TTemplateLookup {
    QString Path;
    QStringList Searched;
    bool Found() const { return !Path.isEmpty(); }
};

// Looks for fileName in the given folders in order. A hit in the current folder is returned as
// the bare file name (the program works relative to its current folder); other hits as full
// paths. Nothing is created when the file is missing.
TTemplateLookup FindTemplateDatabase(const QString& fileName, const QStringList& folders);

// The message shown when no template database exists, naming the places that were looked at.
QString TemplateNotFoundMessage(const TTemplateLookup& lookup);
