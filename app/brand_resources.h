#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures compiled into the program, looked up by the resource names of the brand table
// ("IDI_KOLVANE", "IDB_KOLVANE", ...).
QString BrandResourcePath(const QString& name);
QPixmap BrandPixmap(const QString& name);
QIcon BrandIcon(const QString& name);
