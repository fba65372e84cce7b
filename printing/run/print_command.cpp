#include "printing/run/print_command.h"

#include <QCoreApplication>

#include "printing/engine/run_stop.h"
#include "printing/run/print_documents.h"
#include "printing/run/status_texts.h"
#include "printing/run/visio_session.h"
#include "support/error_handling.h"
#include "support/platform.h"

namespace pbp {

bool CanPrint(BatchPrintView& view) {
    bool result = true;
    Guarded(kBatchWindowModule, QStringLiteral("CanPrint"), [&] {
        if (view.rowCount() - 1 == 0) {
            platform().messages->show(
                platform().appTitle,
                QCoreApplication::translate("PrintCommand",
                                            "There are no documents selected to print."),
                MessageIcon::Information);
            result = false;
        } else if (LeadingNumber(view.copiesText()) == 0) {
            platform().messages->show(
                platform().appTitle,
                QCoreApplication::translate("PrintCommand",
                                            "There must be at least one copy to print."),
                MessageIcon::Information);
            result = false;
        }
    });
    return result;
}

PrintCommandResult RunPrintCommand(BatchPrintView& view) {
    PrintCommandResult result;
    Guarded(kBatchWindowModule, QStringLiteral("cmdPrint_Click"), [&] {
        view.setPrintAndCloseEnabled(false);
        if (!CanPrint(view)) return;
        QString problem;
        StartVisio(true, &problem);
        if (!g_oVisioApp) {
            // The classic text, then what went wrong (a missing drawing reader names its path).
            QString text = QCoreApplication::translate(
                "PrintCommand",
                "PlenPrint was unable to start Visio.  Contact your system administrator.");
            if (!problem.isEmpty()) text += QLatin1Char(' ') + problem;
            platform().messages->show(QStringLiteral("PlenPrint"), text, MessageIcon::Exclamation);
            return;
        }
        result.started = true;
        view.minimizeWindow(g_oVisioApp->WindowHandle32());
        result.outcomes = PrintDocuments(view);
    });
    EndVisio();
    result.cancelled = run_stop::requested();
    result.stopSignal = run_stop::signalNumber();
    run_stop::clear();
    view.setPrintAndCloseEnabled(true);
    if (result.started) view.runFinished(result.outcomes);
    return result;
}

void cmdPrint_Click(BatchPrintView& view) {
    RunPrintCommand(view);
}

}  // namespace pbp
