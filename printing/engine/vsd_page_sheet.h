#pragma once

#include <QByteArray>
#include <QString>

namespace pbp::visio {

// The PrintPageOrientation ("1" portrait, "2" landscape) that a page sheet states in a
// decompressed chunk stream of a binary drawing of version 6 (Visio 2000/2002) or 11 (Visio
// 2003), or "0" when it states none or the chunks cannot be followed. The stream is a page's
// own chunk stream, whose page sheet comes before its shapes.
QString vsdPrintPageOrientation(const QByteArray& chunks, int version);

}  // namespace pbp::visio
