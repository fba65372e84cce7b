#include "resources/pictures.h"

#include <QDir>
#include <QFile>
#include <mutex>

#include "support/vb_error.h"

// The pictures are compiled into this static library; their registration must be called by name.
static void registerPictures() {
    Q_INIT_RESOURCE(resources);
}

namespace pbp {

namespace {

constexpr qint32 kResourceNotFound = 326;

QString resourcePath(const QString& kind, const QString& name) {
    static std::once_flag registered;
    std::call_once(registered, registerPictures);
    return QStringLiteral(":/pictures/") + kind + QLatin1Char('/') + name;
}

VbError notFound(const QString& name) {
    return VbError(kResourceNotFound,
                   QStringLiteral("Resource with identifier '%1' not found").arg(name));
}

}  // namespace

QPixmap LoadResPicture(int id) {
    const QPixmap picture(resourcePath(QStringLiteral("bitmap"), QStringLiteral("%1.png").arg(id)));
    if (picture.isNull()) throw notFound(QString::number(id));
    return picture;
}

QIcon LoadResIcon(const QString& name) {
    const QDir folder(resourcePath(QStringLiteral("icon"), name));
    const QStringList sizes = folder.entryList({QStringLiteral("*.png")}, QDir::Files);
    if (name.isEmpty() || sizes.isEmpty()) throw notFound(name);
    QIcon icon;
    for (const QString& size : sizes) icon.addFile(folder.filePath(size));
    return icon;
}

QCursor LoadResCursor(int id) {
    const QPixmap shape(resourcePath(QStringLiteral("cursor"), QStringLiteral("%1.png").arg(id)));
    if (shape.isNull()) throw notFound(QString::number(id));
    return QCursor(shape, 0, 0);
}

}  // namespace pbp
