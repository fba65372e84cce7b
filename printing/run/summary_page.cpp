#include "printing/run/summary_page.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <vector>

#include "printing/printers/printer_system.h"
#include "printing/run/print_services.h"
#include "support/error_handling.h"

namespace pbp {

namespace {
const QString kSummaryJobTitle = QStringLiteral("PlenBatchPrint Summary");
// Margins from the paper's edge: 15 mm inside the printable area of printers whose unprintable
// edge is up to 10 mm wide, which covers office and photo printers alike.
constexpr double kMarginMm = 25.0;

// One printed line: a list line or, indented, the continuation of a wrapped one.
struct PrintedLine {
    QString text;
    bool continued = false;
};
using Page = std::vector<PrintedLine>;

// The printed lines one list line takes at `width`: words are kept whole where they fit, a path
// longer than the line is broken at any character, and the continuations are indented so that
// each entry's start stands out. An empty line stays one empty line.
Page wrapped(const QString& line, const QFont& font, QPaintDevice* device, qreal width,
             qreal indent) {
    if (line.isEmpty()) return {PrintedLine{}};
    QTextLayout layout(line, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    Page pieces;
    for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine()) {
        const bool continued = !pieces.empty();
        piece.setLineWidth(continued ? width - indent : width);
        pieces.push_back({line.mid(piece.textStart(), piece.textLength()), continued});
    }
    layout.endLayout();
    return pieces;
}

// Every page's printed lines. A list line starts a new page when the rest of it would not fit,
// so a wrapped path is never split between two pages.
std::vector<Page> pagesOf(const QStringList& lines, const QFont& font, QPaintDevice* device,
                          qreal width, qreal indent, size_t linesPerPage) {
    std::vector<Page> pages(1);
    for (const QString& line : lines) {
        const Page pieces = wrapped(line, font, device, width, indent);
        if (pages.back().size() + pieces.size() > linesPerPage && !pages.back().empty())
            pages.emplace_back();
        pages.back().insert(pages.back().end(), pieces.begin(), pieces.end());
    }
    return pages;
}

// Paints the lines in the default font inside the margins, each page numbered at its foot
// ("Page 2 of 26").
bool writeSummaryPdf(QIODevice& pdf, const QPageSize& paper, const QStringList& lines) {
    QPdfWriter writer(&pdf);
    writer.setPageSize(paper);
    writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                          QPageLayout::Millimeter);
    writer.setTitle(kSummaryJobTitle);
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const QFont font = painter.font();
    const QFontMetricsF metrics(font, &writer);
    const QRectF area = painter.viewport();
    const qreal indent = metrics.horizontalAdvance(QStringLiteral("MMM"));
    // Two lines at the foot hold the page number, one empty line above it.
    const size_t linesPerPage = size_t(std::max(1, int(area.height() / metrics.lineSpacing()) - 2));
    const std::vector<Page> pages =
        pagesOf(lines, font, &writer, area.width(), indent, linesPerPage);
    const qreal footBaseline = area.height() - metrics.descent();
    for (size_t page = 0; page < pages.size(); ++page) {
        if (page > 0) writer.newPage();
        qreal baseline = metrics.ascent();
        for (const PrintedLine& line : pages[page]) {
            painter.drawText(QPointF(line.continued ? indent : 0, baseline), line.text);
            baseline += metrics.lineSpacing();
        }
        const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.size());
        painter.drawText(
            QPointF((area.width() - metrics.horizontalAdvance(number)) / 2, footBaseline), number);
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
    return view.printerText();
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
