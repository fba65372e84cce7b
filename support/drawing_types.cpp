#include "support/drawing_types.h"

#include <QCoreApplication>

#include "resources/string_table.h"

namespace pbp {

namespace {
constexpr int kVisioDocumentFilterResource = 801;
}

const QStringList& DrawingExtensions() {
    static const QStringList extensions = {QStringLiteral(".vsd"),  QStringLiteral(".vst"),
                                           QStringLiteral(".vdx"),  QStringLiteral(".vtx"),
                                           QStringLiteral(".vsdx"), QStringLiteral(".vstx"),
                                           QStringLiteral(".vsdm"), QStringLiteral(".vstm")};
    return extensions;
}

bool HasDrawingExtension(const QString& name) {
    for (const QString& extension : DrawingExtensions()) {
        if (name.endsWith(extension, Qt::CaseInsensitive)) return true;
    }
    return false;
}

QString DrawingFileFilter() {
    QStringList patterns;
    for (const QString& extension : DrawingExtensions()) patterns << u'*' + extension;
    const QString all = patterns.join(QStringLiteral("; "));
    return QCoreApplication::translate("DrawingTypes", "Visio drawings (%1)|%1|").arg(all) +
           LoadResString(kVisioDocumentFilterResource) + QLatin1Char('|') +
           QCoreApplication::translate("DrawingTypes", "All files (*)|*");
}

}  // namespace pbp
