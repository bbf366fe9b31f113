#include "app/image_list_icon16.h"

#include <QDir>
#include <QFileInfo>

static void InitTreeResources() {
    Q_INIT_RESOURCE(tree);
}

namespace {
const QString kFolder = QStringLiteral(":/tree/");
}

const TImageListIcon16& TImageListIcon16::Instance() {
    static const TImageListIcon16 list;
    return list;
}

TImageListIcon16::TImageListIcon16() {
    InitTreeResources();
    const QStringList files = QDir(kFolder).entryList({QStringLiteral("*.png")}, QDir::Files);
    for (const QString& file : files) {
        bool number = false;
        const int index = QFileInfo(file).completeBaseName().toInt(&number);
        if (number)
            Indices_ << index;
    }
    std::sort(Indices_.begin(), Indices_.end());
}

bool TImageListIcon16::Has(int index) const {
    return Indices_.contains(index);
}

QIcon TImageListIcon16::Icon(int index) const {
    if (!Has(index))
        return QIcon();
    return QIcon(kFolder + QString::number(index) + QStringLiteral(".png"));
}
