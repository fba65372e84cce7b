#pragma once

#include <QStringView>

namespace pbp {

// The text without spaces at both ends. Only the space character: tabs and line ends stay,
// as the command line and batch lists have always been trimmed.
inline QStringView TrimSpaces(QStringView text) {
    while (!text.isEmpty() && text.front() == u' ') text = text.sliced(1);
    while (!text.isEmpty() && text.back() == u' ') text.chop(1);
    return text;
}

}  // namespace pbp
