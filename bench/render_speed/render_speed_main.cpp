// render_speed [drawings-folder] [repetitions]
//
// For every drawing below the folder (default ../shared/testdata beside the project): reads the
// file, records it with libvisio and paints every page into an in-memory PDF, `repetitions`
// times (default 15). Prints the median and the worst time per drawing and the median over the
// corpus, which should stay below 15 ms.

#include <librevenge-stream/librevenge-stream.h>

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "printing/engine/render/recorded_drawing.h"
#include "support/vb_error.h"

namespace {

constexpr int kPdfResolution = 1200;

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One print-like pass: parse, record, paint every page into a PDF kept in memory.
void printOnce(const QString& path) {
    // From memory, as the drawing workers read a drawing: a file stream costs a system call for
    // each of libvisio's small reads and seeks.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        unsigned(bytes.size()));
    const pbp::render::RecordedDrawing drawing = pbp::render::RecordedDrawing::record(stream);
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setResolution(kPdfResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    for (int page = 0; page < drawing.pageCount(); ++page) {
        if (page > 0) writer.newPage();
        const QSizeF inches = drawing.pageSizeInches(page);
        painter.save();
        if (!inches.isEmpty()) {
            const QRectF area = writer.pageLayout().paintRectPixels(kPdfResolution);
            const qreal scale = std::min(area.width() / (inches.width() * 72),
                                         area.height() / (inches.height() * 72));
            painter.scale(scale, scale);
        }
        drawing.paintPage(page, painter);
        painter.restore();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString corpus =
        args.size() > 1
            ? args[1]
            : QDir(QStringLiteral(PLEN_SOURCE_DIR "/../shared/testdata")).absolutePath();
    const int repetitions = args.size() > 2 ? std::max(1, args[2].toInt()) : 15;
    QStringList drawings;
    QDirIterator it(corpus, {"*.vsd", "*.vdx", "*.vsdx"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) drawings << it.next();
    drawings.sort();
    if (drawings.isEmpty()) {
        std::fprintf(stderr, "No drawings found in %s\n", qPrintable(corpus));
        return 2;
    }

    std::printf("%-50s %10s %10s\n", "drawing", "median ms", "worst ms");
    std::vector<double> medians;
    for (const QString& path : drawings) {
        std::vector<double> times;
        try {
            printOnce(path);  // warm-up: fonts and caches
            for (int i = 0; i < repetitions; ++i) {
                QElapsedTimer timer;
                timer.start();
                printOnce(path);
                times.push_back(timer.nsecsElapsed() / 1e6);
            }
        } catch (const pbp::VbError& e) {
            std::printf("%-50s failed: %s\n", qPrintable(QDir(corpus).relativeFilePath(path)),
                        qPrintable(e.description()));
            continue;
        }
        medians.push_back(median(times));
        std::printf("%-50s %10.2f %10.2f\n", qPrintable(QDir(corpus).relativeFilePath(path)),
                    medians.back(), *std::max_element(times.begin(), times.end()));
    }
    std::printf("%-50s %10.2f\n", "median over the corpus (target < 15 ms)", median(medians));
    return 0;
}
