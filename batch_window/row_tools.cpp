#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/list_edits.h"
#include "batch_window/row_subset_view.h"
#include "printing/printers/printer_system.h"
#include "printing/run/print_command.h"
#include "printing/run/print_services.h"
#include "support/error_handling.h"
#include "support/platform.h"
#include "support/win_api.h"

namespace pbp {

namespace {
QAction* addRowTool(QMenu& menu, const char* name, const QString& caption) {
    QAction* tool = menu.addAction(caption);
    tool->setObjectName(QLatin1String(name));
    return tool;
}
}  // namespace

// The rows' context menu: the list buttons' tools, opening a drawing or its folder, and the
// failed rows' tools of the Edit menu.
void frmPlenPrintBatch::createRowMenu() {
    mnuRows_ = new QMenu(fgListOfFiles_);
    mnuRows_->setObjectName(QStringLiteral("mnuRows"));
    connect(addRowTool(*mnuRows_, "mnuRowRemove", tr("&Remove")), &QAction::triggered, this,
            &frmPlenPrintBatch::cmdRemove_Click);
    connect(addRowTool(*mnuRows_, "mnuRowMoveUp", tr("Move &Up")), &QAction::triggered, this,
            &frmPlenPrintBatch::cmdMoveUp_Click);
    connect(addRowTool(*mnuRows_, "mnuRowMoveDown", tr("Move &Down")), &QAction::triggered, this,
            &frmPlenPrintBatch::cmdMoveDown_Click);
    mnuRows_->addSeparator();
    connect(addRowTool(*mnuRows_, "mnuRowOpen", tr("&Open")), &QAction::triggered, this,
            &frmPlenPrintBatch::mnuOpenRow_Click);
    connect(addRowTool(*mnuRows_, "mnuRowOpenFolder", tr("Open Containing &Folder")),
            &QAction::triggered, this, &frmPlenPrintBatch::mnuOpenRowFolder_Click);
    mnuRows_->addSeparator();
    connect(addRowTool(*mnuRows_, "mnuRowSelectFailed", tr("Select &Failed")), &QAction::triggered,
            this, &frmPlenPrintBatch::mnuSelectFailed_Click);
    connect(addRowTool(*mnuRows_, "mnuRowPrintFailedAgain", tr("Print Failed &Again")),
            &QAction::triggered, this, &frmPlenPrintBatch::mnuPrintFailedAgain_Click);
    connect(fgListOfFiles_, &QWidget::customContextMenuRequested, this,
            &frmPlenPrintBatch::showRowMenu);
}

// A right click on a row that is not selected selects that row alone, as file managers do.
void frmPlenPrintBatch::showRowMenu(const QPoint& at) {
    const QModelIndex under = fgListOfFiles_->indexAt(at);
    if (under.isValid() && !fgListOfFiles_->selectionModel()->isSelected(under)) {
        fgListOfFiles_->selectionModel()->setCurrentIndex(
            under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        setListButtonsEnabled(true);
    } else if (under.isValid()) {
        fgListOfFiles_->setCurrentListRow(under.row() + 1);
    }
    enableRowTools();
    mnuRows_->popup(fgListOfFiles_->viewport()->mapToGlobal(at));
}

// The tools that need a selection, a current row or failed rows are enabled only with them.
void frmPlenPrintBatch::enableRowTools() {
    const bool selected = !fgListOfFiles_->selectedRows().empty();
    const bool current = fgListOfFiles_->currentListRow() > 0;
    const bool failed = !fgListOfFiles_->failedRows().empty();
    const bool idle = cmdClose_->isEnabled();
    const std::pair<const char*, bool> states[] = {{"mnuRowRemove", selected},
                                                   {"mnuRowMoveUp", selected},
                                                   {"mnuRowMoveDown", selected},
                                                   {"mnuRowOpen", current},
                                                   {"mnuRowOpenFolder", current},
                                                   {"mnuRowSelectFailed", failed},
                                                   {"mnuSelectFailed", failed},
                                                   {"mnuRowPrintFailedAgain", failed && idle},
                                                   {"mnuPrintFailedAgain", failed && idle}};
    for (const auto& [name, enabled] : states) {
        if (auto* tool = findChild<QAction*>(QLatin1String(name))) tool->setEnabled(enabled);
    }
}

void frmPlenPrintBatch::mnuSelectFailed_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuSelectFailed_Click"), [&] {
        const std::vector<int> failed = fgListOfFiles_->failedRows();
        if (failed.empty()) return;
        fgListOfFiles_->replaceEntries(fgListOfFiles_->entries(), failed);
        fgListOfFiles_->scrollToRow(failed.front());
        setListButtonsEnabled(true);
        fgListOfFiles_->setFocus();
    });
}

// Prints the failed rows again, in list order, after the same printer check as Print; the
// other rows keep their statuses.
void frmPlenPrintBatch::mnuPrintFailedAgain_Click() {
    const std::vector<int> failed = fgListOfFiles_->failedRows();
    if (failed.empty() || !cmdClose_->isEnabled() || !printerProblemAccepted()) return;
    for (int row : failed) fgListOfFiles_->setStatus(row, QString(), QString());
    RowSubsetView again(*this, failed);
    pbp::cmdPrint_Click(again);
}

void frmPlenPrintBatch::mnuOpenRow_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuOpenRow_Click"), [&] {
        if (const int row = fgListOfFiles_->currentListRow())
            ShellOpenOrFail(fgListOfFiles_->textMatrix(row, 0));
    });
}

void frmPlenPrintBatch::mnuOpenRowFolder_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuOpenRowFolder_Click"), [&] {
        if (const int row = fgListOfFiles_->currentListRow())
            ShellOpenOrFail(QFileInfo(fgListOfFiles_->textMatrix(row, 0)).absolutePath());
    });
}

void frmPlenPrintBatch::mnuClearList_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuClearList_Click"), [&] {
        fgListOfFiles_->replaceEntries({}, {});
        setListButtonsEnabled(false);
        RefreshPrintState();
    });
}

// Moves the selected rows one place; the current row moves with them, so a screen reader
// announces the file now in it.
void frmPlenPrintBatch::moveSelectedRows(int offset) {
    const std::vector<int> selected = fgListOfFiles_->selectedRows();
    if (selected.empty() || (offset < 0 && selected.front() == 1) ||
        (offset > 0 && selected.back() == fgListOfFiles_->rows() - 1))
        return;
    const int current = fgListOfFiles_->currentListRow();
    const ListEdit edit = offset < 0 ? MoveRowsUp(fgListOfFiles_->entries(), selected)
                                     : MoveRowsDown(fgListOfFiles_->entries(), selected);
    fgListOfFiles_->replaceEntries(edit.entries, edit.selectedRows);
    if (std::binary_search(selected.begin(), selected.end(), current))
        fgListOfFiles_->setCurrentListRow(current + offset);
}

void frmPlenPrintBatch::moveRowsBefore(int beforeRow) {
    Guarded(kBatchWindowModule, QStringLiteral("fgListOfFiles_DragDrop"), [&] {
        const std::vector<int> selected = fgListOfFiles_->selectedRows();
        if (selected.empty()) return;
        const ListEdit edit = MoveRowsBefore(fgListOfFiles_->entries(), selected, beforeRow);
        fgListOfFiles_->replaceEntries(edit.entries, edit.selectedRows);
    });
}

// The full status of the selected current row, on one line under the list.
void frmPlenPrintBatch::writeRowStatusLine() {
    const int row = fgListOfFiles_->currentListRow();
    QString text;
    if (row > 0 && fgListOfFiles_->selectionModel()->isRowSelected(row - 1)) {
        text = fgListOfFiles_->fullStatus(row).simplified();
    }
    lblRowStatus_->setText(text);
    lblRowStatus_->setToolTip(text);
}

// A stopped or refusing queue, an unreachable scheduler or an unwritable PDF folder is told
// once before the run, which goes on only when the user says so.
bool frmPlenPrintBatch::printerProblemAccepted() {
    QString problem;
    IgnoringErrors([&] {
        if (printServices().printers)
            problem = printServices().printers->printerProblem(printerText());
    });
    if (problem.isEmpty()) return true;
    return platform().messages->ask(platform().appTitle,
                                    problem + tr("\n\nPrint the drawings all the same?"));
}

}  // namespace pbp
