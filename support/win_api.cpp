#include "support/win_api.h"

#include <QUrl>

#include "support/platform.h"

namespace pbp {

namespace {
constexpr qint32 kOpened = 33;
constexpr qint32 kNoHandler = 31;
constexpr qint32 kNotFound = 2;
constexpr qint32 kNoShell = 0;
}  // namespace

qint32 ShellOpen(const QString& target) {
    if (!platform().urls) return kNoShell;
    const QUrl url = QUrl::fromUserInput(target.trimmed(), QString(), QUrl::AssumeLocalFile);
    if (target.trimmed().isEmpty() || !url.isValid()) return kNotFound;
    return platform().urls->open(url) ? kOpened : kNoHandler;
}

}  // namespace pbp
