#include "support/error_handling.h"

#include <QCoreApplication>
#include <new>

#include "support/platform.h"

namespace pbp {

VbError CurrentError() {
    try {
        throw;
    } catch (const VbError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return VbError(errnum::kOutOfMemory, QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        return VbError(errnum::kInternal, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return VbError(errnum::kInternal, QStringLiteral("Unknown failure"));
    }
}

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
