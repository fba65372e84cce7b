#include <QTimer>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/kept_list.h"
#include "support/error_handling.h"
#include "support/platform.h"

namespace pbp {

namespace {
// Changes are written at most this often; closing the window writes at once.
constexpr int kKeepDelayMs = 500;
}  // namespace

// Brings back the list of the last session; a damaged kept list is set aside and told once.
void frmPlenPrintBatch::restoreKeptList() {
    IgnoringErrors([&] {
        const KeptList kept = LoadKeptList();
        if (!kept.note.isEmpty())
            platform().messages->show(platform().appTitle, kept.note, MessageIcon::Exclamation);
        if (!kept.entries.empty()) {
            fgListOfFiles_->replaceEntries(kept.entries, {});
            fgListOfFiles_->setCurrentListRow(1);
        }
    });
}

// From now on every change of the list is kept.
void frmPlenPrintBatch::startKeepingList() {
    m_bKeepList = true;
    if (!keepListTimer_) {
        keepListTimer_ = new QTimer(this);
        keepListTimer_->setSingleShot(true);
        keepListTimer_->setInterval(kKeepDelayMs);
        connect(keepListTimer_, &QTimer::timeout, this,
                [this] { IgnoringErrors([&] { keepListNow(); }); });
        QAbstractItemModel* model = fgListOfFiles_->model();
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connect(model, signal, this, &frmPlenPrintBatch::scheduleKeepList);
        connect(model, &QAbstractItemModel::dataChanged, this,
                &frmPlenPrintBatch::scheduleKeepList);
        connect(model, &QAbstractItemModel::modelReset, this, &frmPlenPrintBatch::scheduleKeepList);
    }
}

void frmPlenPrintBatch::scheduleKeepList() {
    if (m_bKeepList && !keepListTimer_->isActive()) keepListTimer_->start();
}

void frmPlenPrintBatch::keepListNow() {
    if (!m_bKeepList) return;
    keepListTimer_->stop();
    SaveKeptList(fgListOfFiles_->entries());
}

}  // namespace pbp
