#pragma once

#include <QString>

namespace pbp {

// The text with every backslash and control character written as an escape, so that it stays
// one field of one line: "\\" for a backslash, "\t", "\n" and "\r", "\xHH" for the other C0
// controls and DEL, "\u00HH" for the C1 controls. `printf '%b'` turns it back.
QString EscapedText(const QString& text);

}  // namespace pbp
