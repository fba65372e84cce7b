#pragma once

#include <QString>

namespace pbp {

// Not 0 when something exists at the path, 0 when nothing does.
qint32 DoesFileExist(const QString& path);

// The text without any of the given characters (each character of `characters` is removed
// wherever it occurs, so "\r\n" also removes a lone line feed). The flag is not used.
QString RemoveCharactersFromStringVBWrap(const QString& text, const QString& characters,
                                         qint32 flag);

// The template with every occurrence of the placeholder replaced by the value. The flag is
// not used.
QString ReplaceResourcePlaceHolderVBWrap(const QString& templ, const QString& value,
                                         const QString& placeholder, qint32 flag);

}  // namespace pbp
