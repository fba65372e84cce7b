#include <QDir>
#include <QFileInfo>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "startup/mod_main.h"
#include "support/error_handling.h"
#include "support/escaped_text.h"
#include "support/file_operations.h"
#include "support/path_dialog.h"
#include "support/platform.h"

namespace pbp {

namespace {
constexpr int kOpenDialog = 0;
constexpr int kSaveDialog = 1;

QString itemPath(const FileItem& item) {
    if (const auto* entry = std::get_if<cPrintFile>(&item)) return entry->FileName;
    return std::get<QString>(item);
}
}  // namespace

void frmPlenPrintBatch::mnuExportBatch_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuExportBatch_Click"), [&] {
        if (fgListOfFiles_->rows() < 2) return;
        const QStringList chosen =
            GetPathAndFileName(this, kSaveDialog, tr("Export Batch"), QString(), QString(),
                               tr("Comma Seperated Values (*.csv)|*.csv"));
        const QString target = chosen.value(0);
        if (target.isEmpty()) {
            platform().messages->beep();
            return;
        }
        if (QFileInfo::exists(target) &&
            !platform().messages->ask(tr("Export Batch"),
                                      tr("%1 already exists.\nDo you want to replace it?")
                                          .arg(QDir::toNativeSeparators(target))))
            return;
        QStringList paths;
        for (int row = 1; row < fgListOfFiles_->rows(); ++row)
            paths.append(fgListOfFiles_->textMatrix(row, 0));
        WriteTextToFileAsBinary(target, paths.join(QStringLiteral(", ")), true);
    });
}

// Appends the entries of every chosen batch list. The count and Print are refreshed even when
// a list cannot be read, so the status line always matches the rows already appended.
void frmPlenPrintBatch::mnuImportBatch_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuImportBatch_Click"), [&] {
        const QStringList lists =
            GetPathAndFileName(this, kOpenDialog, tr("Import Batch"), QString(), QString(),
                               tr("Comma Seperated Values (*.csv; *.txt)|*.csv; *.txt"));
        for (const QString& list : lists) {
            JobFileNotes notes;
            const FileCollection entries = GetFilesFromCSVDataFile(list, &notes);
            if (!entries) throw ObjectNotSetError();  // the reader gave no list
            QStringList paths;
            for (const FileItem& item : *entries) paths.append(itemPath(item));
            appendRows(paths);
            const QString note = notes.problem.isEmpty()
                                     ? UnreadableEntriesText(list, notes)
                                     : tr("The batch list %1 gives no drawings: %2.")
                                           .arg(EscapedText(list), notes.problem);
            if (!note.isEmpty())
                platform().messages->show(platform().appTitle, note, MessageIcon::Exclamation);
        }
    });
    RefreshPrintState();
}

}  // namespace pbp
