#include <QComboBox>
#include <QPushButton>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "support/error_handling.h"

namespace pbp {

void frmPlenPrintBatch::Display(const RunRequest& request) {
    m_cFiles = request.files;
    outputPdf_ = request.outputPdf;
    m_oJobDeletions = JobDeletions(m_cFiles, request.jobFileToDelete, request.jobFileIdentity);
    const bool built = Guarded(kBatchWindowModule, QStringLiteral("Display"), [&] {
        LoadMenuCaptions();
        LoadMenuImages();
        fillPrinterList(request.printer);
        appendRows(request.paths());
        setAsideDamagedSettings();
        LoadDefaultPrinter();
        // A printer asked for on the command line wins over the saved one when installed.
        const int asked = request.printer.isEmpty()
                              ? -1
                              : cboSelectedPrinter_->findText(
                                    request.printer, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (asked >= 0) selectPrinterIndex(asked);
        // The list of the last session comes back unless the start names drawings.
        if (fgListOfFiles_->rows() < 2) restoreKeptList();
        startKeepingList();
        applyCommandLineOptions(request);
        cmdPrint_->setEnabled(fgListOfFiles_->rows() >= 2);
    });
    if (!built) {
        // A window that failed to build is still shown, so that the process never lingers
        // without a window.
        startKeepingList();
        show();
        RefreshPrintState();
        return;
    }
    restoreWindowLayout();
    show();
    writeStatusLine();
}

}  // namespace pbp
