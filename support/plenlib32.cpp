#include "support/plenlib32.h"

#include <QFileInfo>

namespace pbp {

qint32 DoesFileExist(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path) ? 1 : 0;
}

QString RemoveCharactersFromStringVBWrap(const QString& text, const QString& characters,
                                         qint32 /*flag*/) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!characters.contains(c)) result.append(c);
    }
    return result;
}

QString ReplaceResourcePlaceHolderVBWrap(const QString& templ, const QString& value,
                                         const QString& placeholder, qint32 /*flag*/) {
    if (placeholder.isEmpty()) return templ;
    QString result = templ;
    return result.replace(placeholder, value);
}

}  // namespace pbp
