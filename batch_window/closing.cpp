#include <QCloseEvent>

#include "batch_window/frm_plen_print_batch.h"
#include "progress/frm_status.h"
#include "support/error_handling.h"
#include "support/platform.h"

namespace pbp {

// The closing steps run once, whichever way the window is left. A failing step is reported
// and the remaining steps still run.
void frmPlenPrintBatch::runClosingSteps() {
    if (m_bClosingStepsDone) return;
    m_bClosingStepsDone = true;
    Guarded(kBatchWindowModule, QStringLiteral("DeleteMarkedFiles"), [&] { DeleteMarkedFiles(); });
    Guarded(kBatchWindowModule, QStringLiteral("SaveDefaultPrinter"),
            [&] { SaveDefaultPrinter(); });
    Guarded(kBatchWindowModule, QStringLiteral("KeepList"), [&] { keepListNow(); });
    // The layout is a convenience: a settings folder that cannot be written was reported above.
    IgnoringErrors([&] { saveWindowLayout(); });
}

void frmPlenPrintBatch::mnuExit_Click() {
    runClosingSteps();
    platform().process->endProcess(0);
}

void frmPlenPrintBatch::cmdClose_Click() {
    mnuExit_Click();
}

void frmPlenPrintBatch::closeEvent(QCloseEvent* event) {
    // A run is under way while its status window exists: closing asks to cancel the run, and
    // the window stays to show what became of each drawing.
    if (auto* status = findChild<frmStatus*>()) {
        event->ignore();
        status->askToCancel();
        return;
    }
    runClosingSteps();
    event->accept();
}

}  // namespace pbp
