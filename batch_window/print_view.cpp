#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"

namespace pbp {

int frmPlenPrintBatch::rowCount() const {
    return fgListOfFiles_->rows();
}

QString frmPlenPrintBatch::cellText(int row, int column) const {
    return fgListOfFiles_->textMatrix(row, column);
}

void frmPlenPrintBatch::setCellText(int row, int column, const QString& text) {
    fgListOfFiles_->setTextMatrix(row, column, text);
}

QString frmPlenPrintBatch::copiesText() const {
    return txtCopies_->text();
}

QString frmPlenPrintBatch::printerText() const {
    return cboSelectedPrinter_->currentText();
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

void frmPlenPrintBatch::runStarting() {
    fgListOfFiles_->clearStatuses();
}

void frmPlenPrintBatch::entryStarting(int row) {
    fgListOfFiles_->scrollToRow(row);
}

}  // namespace pbp
