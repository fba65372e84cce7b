#include "support/win_api.h"

#include <QFileInfo>
#include <QUrl>

#include "support/platform.h"
#include "support/vb_error.h"

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
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return kNotFound;
    return platform().urls->open(url) ? kOpened : kNoHandler;
}

void ShellOpenOrFail(const QString& target) {
    const qint32 answer = ShellOpen(target);
    switch (answer) {
        case kOpened:
            return;
        case kNotFound:
            throw VbError(answer,
                          QStringLiteral("The system cannot find the file specified: ") + target);
        case kNoHandler:
            throw VbError(answer,
                          QStringLiteral("No application is associated with the specified file "
                                         "for this operation: ") +
                              target);
        default:
            throw VbError(answer,
                          QStringLiteral("No desktop handler is available to open ") + target);
    }
}

}  // namespace pbp
