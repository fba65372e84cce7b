#include <QFileInfo>
#include <QLabel>

#include "batch_window/frm_plen_print_batch.h"
#include "printing/printers/pdf_folder_printer.h"
#include "printing/run/one_pdf_run.h"
#include "support/error_handling.h"
#include "support/file_dialog_service.h"
#include "support/platform.h"

namespace pbp {

void frmPlenPrintBatch::mnuSaveAsOnePdf_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuSaveAsOnePdf_Click"), [&] {
        FileDialogRequest request;
        request.owner = this;
        request.save = true;
        request.title = tr("Save as One PDF");
        request.initialDir = printers::pdfOutputFolder();
        request.fileName = tr("Drawings.pdf");
        request.nameFilters = {tr("PDF documents (*.pdf)")};
        request.defaultSuffix = QStringLiteral("pdf");
        const FileDialogAnswer answer = platform().fileDialogs->run(request);
        if (!answer.files.isEmpty()) saveAsOnePdf(answer.files.first());
    });
}

void frmPlenPrintBatch::saveAsOnePdf(const QString& path) {
    const OnePdfRunResult result = PrintIntoOnePdf(*this, path);
    if (result.written)
        lblStatus_->setText(lblStatus_->text() + QStringLiteral("; ") +
                            tr("saved as one PDF: %1").arg(QFileInfo(path).absoluteFilePath()));
}

}  // namespace pbp
