#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "support/program_state.h"

namespace pbp {

int frmPlenPrintBatch::rowCount() const {
    return fgListOfFiles_->rows();
}

QString frmPlenPrintBatch::cellText(int row, int column) const {
    return fgListOfFiles_->textMatrix(row, column);
}

void frmPlenPrintBatch::setOutcome(int row, const EntryOutcome& outcome) {
    fgListOfFiles_->setStatus(row, StatusText(outcome), StatusToolTip(outcome));
}

QString frmPlenPrintBatch::copiesText() const {
    return txtCopies_->text();
}

bool frmPlenPrintBatch::copiesLeftToPrinter() const {
    return g_bSilentMode && !g_oCommandLineOptions.copies;
}

QString frmPlenPrintBatch::printerText() const {
    return m_sExplicitPrinter.isEmpty() ? cboSelectedPrinter_->currentText() : m_sExplicitPrinter;
}

bool frmPlenPrintBatch::firstPageOnly() const {
    return optPrintPageOption_[0]->isChecked();
}

bool frmPlenPrintBatch::summaryPageChecked() const {
    return chkPrintSummaryPage_->isChecked();
}

QString frmPlenPrintBatch::summaryHeader() const {
    return txtPrintSummaryHeader_->text();
}

void frmPlenPrintBatch::setPrintAndCloseEnabled(bool enabled) {
    cmdClose_->setEnabled(enabled);
    cmdPrint_->setEnabled(enabled);
}

QWidget* frmPlenPrintBatch::ownerWindow() {
    return this;
}

void frmPlenPrintBatch::runFinished(const std::vector<EntryOutcome>& outcomes) {
    m_oJobDeletions.afterRun(outcomes);
}

void frmPlenPrintBatch::runStarting() {
    fgListOfFiles_->clearStatuses();
}

void frmPlenPrintBatch::entryStarting(int row) {
    fgListOfFiles_->scrollToRow(row);
}

}  // namespace pbp
