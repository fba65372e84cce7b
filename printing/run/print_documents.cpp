#include "printing/run/print_documents.h"

#include <QLocale>
#include <optional>

#include "printing/run/status_texts.h"
#include "printing/run/status_window.h"
#include "printing/run/summary_page.h"
#include "printing/run/visio_session.h"
#include "support/error_handling.h"

namespace pbp {

namespace {
const QString kProcedure = QStringLiteral("PrintDocuments");
constexpr qint16 kAlertAnswerNo = 7;
constexpr qint16 kLandscape = 2;

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

// A formula text as a number; anything else is a type mismatch that ends the run.
double formulaNumber(const QString& formula) {
    bool ok = false;
    const double value = QLocale::c().toDouble(formula.trimmed(), &ok);
    if (!ok) throw VbError(13, QStringLiteral("Type mismatch: formula '%1'").arg(formula));
    return value;
}

// Sets print orientation 2 on every landscape-shaped page that is not already at 2. The
// changes live in the opened copy only and are discarded when it is closed.
void turnLandscapePages(visio::Document& document) {
    const auto pages = document.Pages();
    const int count = pages->Count();
    for (int index = 1; index <= count; ++index) {
        const auto sheet = pages->Item(index)->PageSheet();
        const auto orientation = sheet->Cells(QStringLiteral("PrintPageOrientation"));
        if (formulaNumber(orientation->Formula()) == kLandscape) continue;
        const double width = sheet->Cells(QStringLiteral("PageWidth"))->ResultIU();
        const double height = sheet->Cells(QStringLiteral("PageHeight"))->ResultIU();
        if (width > height) orientation->SetFormula(QString::number(kLandscape));
    }
}

qint16 foregroundPageCount(visio::Document& document) {
    const auto pages = document.Pages();
    const int count = pages->Count();
    int foreground = 0;
    for (int index = 1; index <= count; ++index)
        if (pages->Item(index)->Background() == 0) ++foreground;
    if (foreground > 32767)
        throw VbError(errnum::kOverflow, QStringLiteral("The drawing has too many pages"));
    return static_cast<qint16>(foreground);
}

// Prints the wanted page range of the active document and writes the outcome as the status.
void printActiveDocument(BatchPrintView& view, visio::Application& app, int row,
                         const QString& printer) {
    bool printed = false;
    try {
        auto document = app.ActiveDocument();
        qint16 lastPage = 1;
        if (!view.firstPageOnly()) {
            lastPage = foregroundPageCount(*document);
            if (lastPage == 0) view.setCellText(row, 1, status_text::kOnlyBackgroundPages);
        }
        if (lastPage > 0) {
            document->PrintOut(visio::visPrintFromTo, 1, lastPage, false, printer, false, QString(),
                               CopiesForPrintOut(view.copiesText()), false, false);
            printed = true;
        }
    } catch (...) {
        view.setCellText(row, 1, status_text::printFailed(CurrentError().description()));
        return;
    }
    if (printed) view.setCellText(row, 1, status_text::kSentToPrinter);
}

QStringList pathsToPrint(const BatchPrintView& view, qint64 n) {
    QStringList paths;
    for (qint64 i = 1; i <= n; ++i) paths << view.cellText(static_cast<int>(i), 0);
    return paths;
}

void printEntry(BatchPrintView& view, visio::Application& app, StatusWindow& status,
                const SavedSettings& saved, qint64 i, qint64 n) {
    const int row = static_cast<int>(i);
    const QString path = view.cellText(row, 0);
    const qint32 percentage = ProgressPercentage(i, n);
    status.Value(OpeningText(path, i, n), percentage);
    try {
        app.Documents()->Open(path);
    } catch (...) {
        const VbError error = CurrentError();
        view.setCellText(row, 1,
                         error.number() == visio::kDrawingReaderFailed
                             ? status_text::openFailed(path, error.description())
                             : status_text::openFailed(path));
        return;
    }
    status.Value(PrintingText(i, n), percentage);
    turnLandscapePages(*app.ActiveDocument());
    const QString printer = view.printerText();
    printActiveDocument(view, app, row, printer);
    status.Value(ClosingText(i, n), percentage);
    app.SetAlertResponse(kAlertAnswerNo);
    app.ActiveDocument()->Close();
    app.SetAlertResponse(saved.alertResponse);
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

void PrintDocuments(BatchPrintView& view) {
    std::unique_ptr<StatusWindow> status;
    std::optional<SavedSettings> saved;
    Guarded(kBatchWindowModule, kProcedure, [&] {
        if (!g_oVisioApp)
            throw VbError(errnum::kObjectNotSet,
                          QStringLiteral("The drawing engine is not running"));
        visio::Application& app = *g_oVisioApp;
        const qint64 n = view.rowCount() - 1;
        if (view.summaryPageChecked()) PrintSummaryPage(view);
        saved = saveAndSwitchOffSettings(app);
        status = CreateStatusWindow(view.ownerWindow());
        status->Display();
        IgnoringErrors([&] {
            visio::PrintHint hint;
            hint.printerName = view.printerText();
            hint.copies = CopiesForPrintOut(view.copiesText());
            hint.firstPageOnly = view.firstPageOnly();
            hint.landscapeShapedPagesTurned = true;
            app.Documents()->WillPrint(hint);
        });
        IgnoringErrors([&] { app.Documents()->WillOpen(pathsToPrint(view, n)); });
        for (qint64 i = 1; i <= n; ++i) printEntry(view, app, *status, *saved, i, n);
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
}

}  // namespace pbp
