#include "printing/run/visio_session.h"

#include <QCoreApplication>

#include "printing/run/batch_print_view.h"
#include "printing/run/print_services.h"
#include "support/error_handling.h"
#include "support/vb_error.h"

namespace pbp {

std::unique_ptr<visio::Application> g_oVisioApp;

bool StartVisio(bool bHidden, QString* problem) {
    if (!g_oVisioApp && printServices().engines) {
        const QString programId =
            bHidden ? QStringLiteral("Visio.InvisibleApp") : QStringLiteral("Visio.Application");
        try {
            g_oVisioApp = printServices().engines->CreateObject(programId);
        } catch (...) {
            if (problem) *problem = CurrentError().description();
        }
    }
    return g_oVisioApp != nullptr;
}

void EndVisio() {
    if (!g_oVisioApp) return;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    Guarded(kBatchWindowModule, QStringLiteral("cmdPrint_Click"), [] { g_oVisioApp->Quit(); });
    g_oVisioApp.reset();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

}  // namespace pbp
