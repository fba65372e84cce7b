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
class OnePdfView : public BatchPrintView {
  public:
    explicit OnePdfView(BatchPrintView& view) : view_(view) {}
    int rowCount() const override { return view_.rowCount(); }
    QString cellText(int row, int column) const override { return view_.cellText(row, column); }
    void setOutcome(int row, const EntryOutcome& outcome) override {
        view_.setOutcome(row, outcome);
    }
    QString copiesText() const override { return view_.copiesText(); }
    bool copiesLeftToPrinter() const override { return view_.copiesLeftToPrinter(); }
    QString printerText() const override { return printers::kPdfPrinterName; }
    bool firstPageOnly() const override { return view_.firstPageOnly(); }
    bool summaryPageChecked() const override { return view_.summaryPageChecked(); }
    QString summaryHeader() const override { return view_.summaryHeader(); }
    void setPrintAndCloseEnabled(bool enabled) override { view_.setPrintAndCloseEnabled(enabled); }
    std::unique_ptr<StatusWindow> openStatusWindow() override { return view_.openStatusWindow(); }
    void minimizeWindow(qint32 hWnd) override { view_.minimizeWindow(hWnd); }
    void runFinished(const std::vector<EntryOutcome>& outcomes) override {
        view_.runFinished(outcomes);
    }
    void runStarting() override { view_.runStarting(); }
    void entryStarting(int row) override { view_.entryStarting(row); }

  private:
    BatchPrintView& view_;
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
