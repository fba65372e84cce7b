#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "printing/engine/run_stop.h"
#include "progress/frm_status.h"
#include "support/error_handling.h"

namespace pbp {

namespace {
// The program's status window, owned by the batch window; destroying this unloads it.
class ProgramStatusWindow : public StatusWindow {
  public:
    explicit ProgramStatusWindow(QWidget* owner) : window_(new frmStatus(owner)) {
        QObject::connect(window_, &frmStatus::cancelRequested, [] { run_stop::request(0); });
    }
    ~ProgramStatusWindow() override { delete window_.data(); }
    void Display() override { window_->Display(); }
    void Value(const QString& sDescription, qint32 lNewValue) override {
        window_->Value(sDescription, lNewValue);
    }

  private:
    // Guarded: the owner window may delete it first.
    QPointer<frmStatus> window_;
};
}  // namespace

int frmPlenPrintBatch::rowCount() const {
    return fgListOfFiles_->rows();
}

QString frmPlenPrintBatch::cellText(int row, int column) const {
    return fgListOfFiles_->textMatrix(row, column);
}

void frmPlenPrintBatch::setOutcome(int row, const EntryOutcome& outcome) {
    const bool failed =
        outcome.result != EntryResult::Sent && outcome.result != EntryResult::NotReached;
    fgListOfFiles_->setStatus(row, StatusText(outcome), StatusToolTip(outcome), failed);
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

std::unique_ptr<StatusWindow> frmPlenPrintBatch::openStatusWindow() {
    return std::make_unique<ProgramStatusWindow>(this);
}

void frmPlenPrintBatch::minimizeWindow(qint32 hWnd) {
    if (hWnd == 0) return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // internalWinId() is 0 for windows that have no native handle yet; asking winId()
        // would create one for every top-level widget.
        if (static_cast<qint32>(window->internalWinId()) == hWnd) window->showMinimized();
    }
}

// The status bar tells how the run went until the list changes.
void frmPlenPrintBatch::runFinished(const std::vector<EntryOutcome>& outcomes) {
    m_oJobDeletions.afterRun(outcomes);
    const auto sent = std::count_if(outcomes.begin(), outcomes.end(), [](const EntryOutcome& o) {
        return o.result == EntryResult::Sent;
    });
    lblStatus_->setText(tr("Run finished: %1 of %2 sent to the printer, %3 not printed")
                            .arg(sent)
                            .arg(outcomes.size())
                            .arg(qsizetype(outcomes.size()) - sent));
    runReportShown_ = true;
    IgnoringErrors([&] { keepListNow(); });
}

void frmPlenPrintBatch::runStarting() {
    fgListOfFiles_->clearStatuses();
}

void frmPlenPrintBatch::entryStarting(int row) {
    fgListOfFiles_->scrollToRow(row);
}

}  // namespace pbp
