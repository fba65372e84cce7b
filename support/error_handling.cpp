#include "support/error_handling.h"

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
    return QStringLiteral("Problem in ") + moduleName + QLatin1Char('.') + procedureName +
           QStringLiteral("\r\nError Number: ") + QString::number(error.number()) +
           QStringLiteral("\r\nError Description: ") + error.description();
}

void ReportError(const QString& moduleName, const QString& procedureName, const VbError& error) {
    IgnoringErrors([&] {
        platform().messages->show(platform().appTitle,
                                  ErrorMessageText(moduleName, procedureName, error),
                                  MessageIcon::Information);
    });
}

}  // namespace pbp
