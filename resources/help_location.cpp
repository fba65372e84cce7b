#include "resources/help_location.h"

#include <QDir>
#include <QFileInfo>

namespace pbp {

namespace {
const QString kHelpPage = QStringLiteral("PlenBatchPrintHelp.html");
}

QString HelpPagePath(const QString& programFolder) {
    const QDir program(programFolder);
    const QString beside = program.filePath(kHelpPage);
    if (QFileInfo(beside).isFile()) return beside;
    const QString installed =
        QDir::cleanPath(program.filePath(QStringLiteral(PLEN_HELP_FROM_PROGRAM "/") + kHelpPage));
    return QFileInfo(installed).isFile() ? installed : beside;
}

}  // namespace pbp
