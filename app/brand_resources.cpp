#include "app/brand_resources.h"

static void InitImageResources() {
    Q_INIT_RESOURCE(images);
}

QString BrandResourcePath(const QString& name) {
    static const bool initialised = (InitImageResources(), true);
    (void)initialised;
    return QStringLiteral(":/images/") + name + QStringLiteral(".png");
}

QPixmap BrandPixmap(const QString& name) {
    return QPixmap(BrandResourcePath(name));
}

QIcon BrandIcon(const QString& name) {
    return QIcon(BrandResourcePath(name));
}
