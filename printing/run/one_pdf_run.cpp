#include "printing/run/one_pdf_run.h"

#include <QFileInfo>
#include <QScopeGuard>

#include "printing/printers/combined_pdf_printer.h"
#include "printing/run/print_services.h"
#include "support/error_handling.h"
#include "support/platform.h"
#include "support/vb_error.h"

namespace pbp {

namespace {

void tell(const QString& text) {
    platform().messages->show(platform().appTitle, text, MessageIcon::Exclamation);
}

// The batch window with the built-in PDF printer as the printer of every drawing.
class OnePdfView : public ForwardingPrintView {
  public:
    using ForwardingPrintView::ForwardingPrintView;
    QString printerText() const override { return printers::kPdfPrinterName; }
};

}  // namespace

OnePdfRunResult PrintIntoOnePdf(BatchPrintView& view, const QString& path) {
    OnePdfRunResult result;
    printers::CombinedPdfPrinter* combined = printServices().onePdf;
    const QString target = QFileInfo(path).absoluteFilePath();
    if (!combined) {
        tell(QStringLiteral("Cannot write the PDF \"%1\": this program cannot join PDFs.")
                 .arg(target));
        return result;
    }
    if (const QString problem = printers::pdfTargetProblem(target); !problem.isEmpty()) {
        tell(QStringLiteral("Cannot write the PDF \"%1\": %2.").arg(target, problem));
        return result;
    }
    const auto discard = qScopeGuard([&] { combined->discard(); });
    combined->collect(target);
    OnePdfView onePdf(view);
    result.run = RunPrintCommand(onePdf);
    if (!result.run.started) return result;
    if (result.run.cancelled) {
        tell(QStringLiteral("The PDF \"%1\" was not written: the run was cancelled.").arg(target));
    } else if (combined->collectedPages() == 0) {
        tell(QStringLiteral("The PDF \"%1\" was not written: no drawing was printed.").arg(target));
    } else {
        try {
            combined->finish();
            result.written = true;
        } catch (const VbError& error) {
            tell(error.description() + QLatin1Char('.'));
        }
    }
    return result;
}

}  // namespace pbp
