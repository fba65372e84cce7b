#include "support/error_handling.h"

#include "support/platform.h"
#include "support/program_state.h"

namespace pbp {

QString ErrorMessageText(const QString& moduleName, const QString& procedureName,
                         const VbError& error) {
    return QStringLiteral("Problem in ") + moduleName + QLatin1Char('.') + procedureName +
           QStringLiteral("\r\nError Number: ") + QString::number(error.number()) +
           QStringLiteral("\r\nError Description: ") + error.description();
}

void ReportError(const QString& moduleName, const QString& procedureName,
                 const VbError& error) {
    IgnoringErrors([&] {
        platform().messages->show(g_sAppTitle, ErrorMessageText(moduleName, procedureName, error),
                                  MessageIcon::Information);
    });
}

}  // namespace pbp
