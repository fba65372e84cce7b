#include "printing/run/summary_page.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>

#include "printing/printers/printer_system.h"
#include "printing/run/print_services.h"
#include "support/error_handling.h"
#include "support/program_state.h"

namespace pbp {

namespace {
const QString kSummaryJobTitle = QStringLiteral("PlenBatchPrint Summary");

// Paints the lines top to bottom in the default font, starting a new page when one is full.
bool writeSummaryPdf(QIODevice& pdf, const QPageSize& paper, const QStringList& lines) {
    QPdfWriter writer(&pdf);
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

QString SummaryPagePrinter(const BatchPrintView& view) {
    printers::PrinterSystem* system = printServices().printers;
    if (!system) return {};
    const QStringList installed = system->printerNames();
    if (!installed.contains(view.printerText(), Qt::CaseSensitive)) return {};
    if (installed.contains(g_sSelectedPrinter, Qt::CaseSensitive)) return g_sSelectedPrinter;
    return system->defaultPrinter();
}

void PrintSummaryPage(const BatchPrintView& view) {
    IgnoringErrors([&] {
        const QString printer = SummaryPagePrinter(view);
        if (printer.isEmpty()) return;
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        if (!writeSummaryPdf(buffer, printServices().printers->defaultPaper(printer),
                             SummaryPageLines(view)))
            return;
        printServices().printers->submit({printer, pdf, 1, kSummaryJobTitle});
    });
}

}  // namespace pbp
