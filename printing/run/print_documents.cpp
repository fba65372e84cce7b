#include "printing/run/print_documents.h"

#include <optional>

#include "printing/engine/run_stop.h"
#include "printing/engine/sheet_plan.h"
#include "printing/printers/printer_system.h"
#include "printing/run/print_services.h"
#include "printing/run/status_texts.h"
#include "printing/run/status_window.h"
#include "printing/run/summary_page.h"
#include "printing/run/visio_session.h"
#include "support/error_handling.h"

namespace pbp {

namespace {
const QString kProcedure = QStringLiteral("PrintDocuments");
constexpr qint16 kAlertAnswerNo = 7;

// The engine settings a run switches off, as they were before it.
struct SavedSettings {
    qint16 alertResponse = 0;
    bool screenUpdating = false;
    qint16 showFileOpenWarnings = 0;
};

SavedSettings saveAndSwitchOffSettings(visio::Application& app) {
    SavedSettings saved;
    saved.alertResponse = app.AlertResponse();
    saved.screenUpdating = app.ScreenUpdating() != 0;
    saved.showFileOpenWarnings = app.Settings()->ShowFileOpenWarnings();
    app.SetScreenUpdating(0);
    app.Settings()->SetShowFileOpenWarnings(0);
    return saved;
}

// The document's pages as its cells state them now.
std::vector<visio::DrawingPage> pagesOf(visio::Document& document) {
    const auto pages = document.Pages();
    const int count = pages->Count();
    std::vector<visio::DrawingPage> cells;
    for (int index = 1; index <= count; ++index) {
        const auto page = pages->Item(index);
        const auto sheet = page->PageSheet();
        visio::DrawingPage cellsOfPage;
        cellsOfPage.background = page->Background() != 0;
        cellsOfPage.orientation = visio::parsePrintOrientation(
            sheet->Cells(QStringLiteral("PrintPageOrientation"))->Formula());
        cellsOfPage.widthInches = sheet->Cells(QStringLiteral("PageWidth"))->ResultIU();
        cellsOfPage.heightInches = sheet->Cells(QStringLiteral("PageHeight"))->ResultIU();
        cells.push_back(cellsOfPage);
    }
    return cells;
}

// Sets print orientation 2 on every page that prints landscape when landscape-shaped pages are
// turned but does not ask for it yet. The changes live in the opened copy only and are
// discarded when it is closed.
void turnLandscapePages(visio::Document& document, const std::vector<visio::DrawingPage>& pages) {
    for (size_t index = 0; index < pages.size(); ++index) {
        const visio::DrawingPage& page = pages[index];
        if (page.orientation == visio::PrintOrientation::Landscape ||
            !visio::printsLandscape(page, true))
            continue;
        document.Pages()
            ->Item(int(index + 1))
            ->PageSheet()
            ->Cells(QStringLiteral("PrintPageOrientation"))
            ->SetFormula(visio::orientationFormula(visio::PrintOrientation::Landscape));
    }
}

// The number of copies handed to PrintOut for the entry.
qint16 copiesFor(const BatchPrintView& view) {
    if (view.copiesLeftToPrinter()) return visio::kPrinterDefaultCopies;
    return CopiesForPrintOut(view.copiesText());
}

// Turns the landscape-shaped pages and prints the wanted page range of the active document
// into `outcome`; any failure of these steps fails this entry only.
void printActiveDocument(BatchPrintView& view, visio::Application& app, EntryOutcome& outcome) {
    try {
        auto document = app.ActiveDocument();
        const std::vector<visio::DrawingPage> pages = pagesOf(*document);
        const int foreground = visio::foregroundPageCount(pages);
        view.pagesRead(outcome.path, foreground);
        turnLandscapePages(*document, pages);
        qint16 lastPage = 1;
        if (!view.firstPageOnly()) {
            if (foreground > 32767)
                throw VbError(errnum::kOverflow, QStringLiteral("The drawing has too many pages"));
            lastPage = qint16(foreground);
            if (lastPage == 0) {
                outcome.result = EntryResult::OnlyBackgroundPages;
                return;
            }
        }
        document->PrintOut(visio::visPrintFromTo, 1, lastPage, false, outcome.printer, false,
                           QString(), copiesFor(view), false, false);
        outcome.undrawn = document->UndrawnNotes();
    } catch (...) {
        // A cancelled run abandons the drawing: no job, and the entry reads as cancelled.
        if (run_stop::requested()) return;
        const VbError error = CurrentError();
        outcome.result = EntryResult::PrintFailed;
        outcome.errorNumber = error.number();
        outcome.errorDescription = error.description();
        return;
    }
    outcome.result = EntryResult::Sent;
    if (outcome.printer == printers::kPdfPrinterName && printServices().printers)
        outcome.pdfFile = printServices().printers->lastPdfFile();
}

QStringList pathsToPrint(const std::vector<EntryOutcome>& outcomes) {
    QStringList paths;
    for (const EntryOutcome& outcome : outcomes) paths << outcome.path;
    return paths;
}

// Closes the active document without saving. A drawing that cannot be closed has had its
// outcome already; the engine forgets it with the next one opened.
void closeActiveDocument(visio::Application& app, const SavedSettings& saved) {
    IgnoringErrors([&] {
        app.SetAlertResponse(kAlertAnswerNo);
        app.ActiveDocument()->Close();
    });
    IgnoringErrors([&] { app.SetAlertResponse(saved.alertResponse); });
}

void printEntry(BatchPrintView& view, visio::Application& app, StatusWindow& status,
                const SavedSettings& saved, qint64 i, qint64 n, EntryOutcome& outcome) {
    view.entryStarting(int(i));
    const qint32 percentage = ProgressPercentage(i, n);
    status.Value(OpeningText(outcome.path, i, n), percentage);
    outcome.identity = fileIdentity(outcome.path);
    try {
        app.Documents()->Open(outcome.path);
    } catch (...) {
        if (run_stop::requested()) return;
        const VbError error = CurrentError();
        outcome.result = EntryResult::OpenFailed;
        outcome.printer = view.printerText();
        outcome.errorNumber = error.number();
        outcome.errorDescription = error.description();
        view.setOutcome(int(i), outcome);
        return;
    }
    if (!run_stop::requested()) {
        status.Value(PrintingText(i, n), percentage);
        outcome.printer = view.printerText();
        printActiveDocument(view, app, outcome);
        if (outcome.result != EntryResult::NotReached) view.setOutcome(int(i), outcome);
    }
    status.Value(ClosingText(i, n), percentage);
    closeActiveDocument(app, saved);
}

// Every entry a cancelled run did not finish reads as cancelled, with the printer it was meant
// for.
void markCancelled(BatchPrintView& view, std::vector<EntryOutcome>& outcomes) {
    for (size_t index = 0; index < outcomes.size(); ++index) {
        EntryOutcome& outcome = outcomes[index];
        if (outcome.result != EntryResult::NotReached) continue;
        outcome.result = EntryResult::Cancelled;
        outcome.printer = view.printerText();
        view.setOutcome(int(index + 1), outcome);
    }
}

// Runs the closing steps each once; the first failure among them is reported, once.
template <class... Steps>
void runClosingSteps(Steps&&... steps) {
    std::optional<VbError> firstFailure;
    auto run = [&](auto&& step) {
        try {
            step();
        } catch (...) {
            if (!firstFailure) firstFailure = CurrentError();
        }
    };
    (run(steps), ...);
    if (firstFailure) ReportError(kBatchWindowModule, kProcedure, *firstFailure);
}
}  // namespace

std::vector<EntryOutcome> PrintDocuments(BatchPrintView& view) {
    std::vector<EntryOutcome> outcomes;
    std::unique_ptr<StatusWindow> status;
    std::optional<SavedSettings> saved;
    Guarded(kBatchWindowModule, kProcedure, [&] {
        if (!g_oVisioApp)
            throw VbError(errnum::kObjectNotSet,
                          QStringLiteral("The drawing engine is not running"));
        visio::Application& app = *g_oVisioApp;
        const qint64 n = view.rowCount() - 1;
        for (qint64 i = 1; i <= n; ++i) {
            EntryOutcome notReached;
            notReached.path = view.cellText(int(i), 0);
            outcomes.push_back(notReached);
        }
        view.runStarting();
        if (view.summaryPageChecked() && !run_stop::requested()) PrintSummaryPage(view);
        saved = saveAndSwitchOffSettings(app);
        status = view.openStatusWindow();
        status->Display();
        IgnoringErrors([&] {
            visio::PrintHint hint;
            hint.printerName = view.printerText();
            hint.copies = copiesFor(view);
            hint.firstPageOnly = view.firstPageOnly();
            hint.landscapeShapedPagesTurned = true;
            app.Documents()->WillPrint(hint);
        });
        IgnoringErrors([&] { app.Documents()->WillOpen(pathsToPrint(outcomes)); });
        for (qint64 i = 1; i <= n && !run_stop::requested(); ++i)
            printEntry(view, app, *status, *saved, i, n, outcomes[size_t(i - 1)]);
        if (run_stop::requested()) markCancelled(view, outcomes);
    });
    runClosingSteps(
        [&] { status.reset(); },
        [&] {
            if (saved) g_oVisioApp->SetScreenUpdating(saved->screenUpdating ? -1 : 0);
        },
        [&] {
            if (saved)
                g_oVisioApp->Settings()->SetShowFileOpenWarnings(saved->showFileOpenWarnings);
        });
    return outcomes;
}

}  // namespace pbp
