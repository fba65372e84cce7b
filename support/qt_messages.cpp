#include "support/qt_messages.h"

#include <QString>
#include <QtGlobal>

namespace pbp {

namespace {

QtMessageHandler g_previousHandler = nullptr;

void filterMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    g_previousHandler(type, context, message);
}

}  // namespace

void QuietMissingRuntimeFolderWarning() {
    if (!g_previousHandler) g_previousHandler = qInstallMessageHandler(filterMessage);
}

}  // namespace pbp
