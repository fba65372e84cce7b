#include "support/error_handling.h"

#include <QCoreApplication>

#include "support/platform.h"

namespace pbp {

QString ErrorMessageText(const QString& moduleName, const QString& procedureName,
                         const VbError& error) {
    return QCoreApplication::translate(
               "ErrorHandling", "Problem in %1.%2\r\nError Number: %3\r\nError Description: %4")
        .arg(moduleName, procedureName, QString::number(error.number()), error.description());
}

void ReportError(const QString& moduleName, const QString& procedureName, const VbError& error) {
    IgnoringErrors([&] {
        platform().messages->show(platform().appTitle,
                                  ErrorMessageText(moduleName, procedureName, error),
                                  MessageIcon::Information);
    });
}

}  // namespace pbp
