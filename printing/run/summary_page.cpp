#include "printing/run/summary_page.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "printing/printers/printer_system.h"
#include "support/error_handling.h"
#include "support/platform.h"
#include "support/program_state.h"

namespace pbp {

namespace {
const QString kSummaryJobTitle = QStringLiteral("PlenBatchPrint Summary");

// Paints the lines top to bottom in the default font, starting a new page when one is full.
bool writeSummaryPdf(const QString& pdfPath, const QPageSize& paper, const QStringList& lines) {
    QPdfWriter writer(pdfPath);
    writer.setPageSize(paper);
    writer.setTitle(kSummaryJobTitle);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const QFontMetrics metrics(painter.font(), &writer);
    const int pageHeight = painter.viewport().height();
    int baseline = metrics.ascent();
    for (const QString& line : lines) {
        if (baseline + metrics.descent() > pageHeight && baseline > metrics.ascent()) {
            writer.newPage();
            baseline = metrics.ascent();
        }
        painter.drawText(0, baseline, line);
        baseline += metrics.lineSpacing();
    }
    return painter.end();
}
}  // namespace

QStringList SummaryPageLines(const BatchPrintView& view) {
    QStringList lines{view.summaryHeader(), QString(), QString()};
    for (int row = 1; row < view.rowCount(); ++row) lines << view.cellText(row, 0);
    return lines;
}

QString SummaryPagePrinter() {
    printers::PrinterSystem* system = platform().printers;
    if (!system) return {};
    if (system->printerNames().contains(g_sSelectedPrinter, Qt::CaseSensitive))
        return g_sSelectedPrinter;
    return system->defaultPrinter();
}

void PrintSummaryPage(const BatchPrintView& view) {
    IgnoringErrors([&] {
        const QString printer = SummaryPagePrinter();
        if (printer.isEmpty()) return;
        QTemporaryDir folder;
        if (!folder.isValid()) return;
        const QString pdfPath = folder.filePath(QStringLiteral("summary.pdf"));
        if (!writeSummaryPdf(pdfPath, platform().printers->defaultPaper(printer),
                             SummaryPageLines(view)))
            return;
        platform().printers->submit({printer, pdfPath, 1, kSummaryJobTitle});
    });
}

}  // namespace pbp
