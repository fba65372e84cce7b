#include <QComboBox>
#include <QPushButton>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "printing/run/silent_run.h"
#include "support/error_handling.h"
#include "support/platform.h"
#include "support/program_state.h"

namespace pbp {

namespace {
// Exit code of a silent run that could not start.
constexpr int kRunCouldNotStart = 2;
}  // namespace

void frmPlenPrintBatch::Display(FileCollection& cFiles) {
    m_cFiles = cFiles;
    m_oJobDeletions = JobDeletions(m_cFiles, g_sJobFileToDelete, g_oJobFileToDeleteIdentity);
    // The printer named on the command line; filling the printer list selects a first printer
    // and so overwrites g_sSelectedPrinter.
    const QString namedPrinter = g_sSelectedPrinter;
    const bool built = Guarded(kBatchWindowModule, QStringLiteral("Display"), [&] {
        LoadMenuCaptions();
        LoadMenuImages();
        fillPrinterList();
        if (m_cFiles) {
            QStringList paths;
            for (const FileItem& item : *m_cFiles) {
                if (const auto* entry = std::get_if<cPrintFile>(&item)) {
                    paths.append(entry->FileName);
                } else if (std::get<QString>(item) == QLatin1String("/silent")) {
                    g_bSilentMode = true;
                } else {
                    paths.append(std::get<QString>(item));
                }
            }
            appendRows(paths);
        }
        if (g_bSilentMode && !namedPrinter.isEmpty()) {
            m_sExplicitPrinter = namedPrinter;
        } else {
            if (!g_bSilentMode) setAsideDamagedSettings();
            LoadDefaultPrinter();
            // A printer asked for on the command line wins over the saved one when installed.
            const int asked = namedPrinter.isEmpty()
                                  ? -1
                                  : cboSelectedPrinter_->findText(
                                        namedPrinter, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (asked >= 0) selectPrinterIndex(asked);
        }
        // The list of the last session comes back unless the start names drawings.
        if (!g_bSilentMode && fgListOfFiles_->rows() < 2) restoreKeptList();
        if (!g_bSilentMode) startKeepingList();
        applyCommandLineOptions();
        cmdPrint_->setEnabled(fgListOfFiles_->rows() >= 2);
    });
    if (!built) {
        if (!g_bSilentMode) startKeepingList();
        finishDisplayAfterFailure();
        return;
    }
    if (g_bSilentMode) {
        RunSilently(*this);
        return;
    }
    restoreWindowLayout();
    show();
    writeStatusLine();
}

// A window that failed to build is still shown (or a silent run still ends), so that the
// process never lingers without a window.
void frmPlenPrintBatch::finishDisplayAfterFailure() {
    if (g_bSilentMode) {
        platform().process->endProcess(kRunCouldNotStart);
        return;
    }
    show();
    RefreshPrintState();
}

}  // namespace pbp
