#pragma once

#include <QString>
#include <utility>

#include "support/vb_error.h"

namespace pbp {

// The three-line text of the error message (lines end in CR LF).
QString ErrorMessageText(const QString& moduleName, const QString& procedureName,
                         const VbError& error);

// The one error message: three lines naming module.procedure, the number and the description,
// information icon, OK only, titled platform().appTitle. Never throws.
void ReportError(const QString& moduleName, const QString& procedureName, const VbError& error);

// Runs `body` as a guarded procedure: any failure is reported as moduleName.procedureName and
// false is returned, so no exception escapes into the event loop.
template <class Body>
bool Guarded(const QString& moduleName, const QString& procedureName, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        ReportError(moduleName, procedureName, CurrentError());
        return false;
    }
}

// Runs `body` with its failure ignored (a step whose failure is harmless).
template <class Body>
void IgnoringErrors(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

}  // namespace pbp
