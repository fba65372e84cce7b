// fidelity [drawings-folder] [output-folder]
//
// Renders every page of every drawing below the folder (default ../shared/testdata beside the
// project) to PNG with our renderer. Where LibreOffice's soffice is on the PATH it also converts
// each drawing to PDF and rasterises that with pdftoppm, so both can be compared side by side
// in the index.html it writes. Installs nothing.

#include <librevenge-stream/librevenge-stream.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <cstdio>

#include "ink_difference.h"
#include "printing/engine/render/recorded_drawing.h"
#include "support/vb_error.h"

namespace {

constexpr qreal kDpi = 96;

QString defaultCorpus() {
    return QDir(QStringLiteral(PLEN_SOURCE_DIR "/../shared/testdata")).absolutePath();
}

QImage renderOurs(const pbp::render::RecordedDrawing& drawing, int page, const QString& png) {
    const QSizeF inches = drawing.pageSizeInches(page);
    const QSize size(std::max(1, qRound(inches.width() * kDpi)),
                     std::max(1, qRound(inches.height() * kDpi)));
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(kDpi / 0.0254));
    image.setDotsPerMeterY(qRound(kDpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(kDpi / 72, kDpi / 72);
    drawing.paintPage(page, painter);
    painter.end();
    image.save(png);
    return image;
}

// A line for the problem list when LibreOffice's page puts its ink strongly elsewhere or has
// another size; empty when the pages agree.
QString inkProblem(const QImage& ours, const QString& theirsPng, int page) {
    const QImage theirs(theirsPng);
    const std::optional<double> difference =
        pbp::fidelity::inkDifference(ours, theirs, int(kDpi / 8));
    if (!difference && ours.size() != theirs.size())
        return QStringLiteral(
                   "Page %1: LibreOffice's page is %2 x %3 in, ours %4 x %5 in; not "
                   "compared.")
            .arg(page + 1)
            .arg(theirs.width() / kDpi, 0, 'g', 3)
            .arg(theirs.height() / kDpi, 0, 'g', 3)
            .arg(ours.width() / kDpi, 0, 'g', 3)
            .arg(ours.height() / kDpi, 0, 'g', 3);
    if (!difference || *difference <= pbp::fidelity::kStrongInkDifference) return {};
    return QStringLiteral("Page %1: %2% of the ink lies elsewhere than on LibreOffice's page.")
        .arg(page + 1)
        .arg(qRound(*difference * 100));
}

// LibreOffice's pages of the drawing as PNG files (empty when soffice is not installed).
QStringList renderWithLibreOffice(const QString& soffice, const QString& drawing,
                                  const QString& outDir, const QString& stem) {
    if (soffice.isEmpty()) return {};
    const QString pdfDir = outDir + "/soffice";
    QDir().mkpath(pdfDir);
    QProcess convert;
    convert.start(soffice, {"--headless", "--convert-to", "pdf", "--outdir", pdfDir, drawing});
    if (!convert.waitForFinished(120000)) return {};
    const QString pdf = pdfDir + "/" + QFileInfo(drawing).completeBaseName() + ".pdf";
    if (!QFile::exists(pdf)) return {};
    QProcess raster;
    raster.start("pdftoppm",
                 {"-png", "-r", QString::number(kDpi), pdf, outDir + "/" + stem + "-lo"});
    raster.waitForFinished(120000);
    QStringList pages = QDir(outDir).entryList({stem + "-lo-*.png"}, QDir::Files, QDir::Name);
    for (QString& p : pages) p = outDir + "/" + p;
    return pages;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    // Absolute, so that the drawings' paths relative to it name the pictures.
    const QString corpus = QDir(args.size() > 1 ? args[1] : defaultCorpus()).absolutePath();
    const QString outDir =
        QDir(args.size() > 2 ? args[2] : QStringLiteral("fidelity-report")).absolutePath();
    if (!QDir(corpus).exists()) {
        std::fprintf(stderr, "No drawings folder at %s\n", qPrintable(corpus));
        return 2;
    }
    QDir().mkpath(outDir);
    const QString soffice = QStandardPaths::findExecutable("soffice");

    QString html;
    QTextStream out(&html);
    out << "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Rendering fidelity</title>"
           "<style>img{max-width:48vw;border:1px solid #888}td{vertical-align:top}</style>"
           "</head><body><h1>Rendering fidelity</h1><p>Corpus: "
        << corpus.toHtmlEscaped() << "<br>LibreOffice: "
        << (soffice.isEmpty() ? QStringLiteral("not installed") : soffice.toHtmlEscaped())
        << "</p><table><tr><th>PlenBatchPrint</th><th>LibreOffice</th></tr>\n";

    QStringList drawings;
    QDirIterator it(corpus, {"*.vsd", "*.vdx", "*.vsdx", "*.vst", "*.vtx", "*.vstx", "*.vsdm"},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) drawings << it.next();
    drawings.sort();
    int failures = 0;
    for (const QString& path : drawings) {
        const QString stem = QDir(corpus).relativeFilePath(path).replace('/', '_');
        out << "<tr><th colspan=2 align=left>" << stem.toHtmlEscaped() << "</th></tr>\n";
        QElapsedTimer timer;
        timer.start();
        try {
            librevenge::RVNGFileStream stream(QFile::encodeName(path).constData());
            const pbp::render::RecordedDrawing drawing =
                pbp::render::RecordedDrawing::record(stream);
            const QStringList theirs = renderWithLibreOffice(soffice, path, outDir, stem);
            QStringList problems = drawing.log();
            for (int page = 0; page < drawing.pageCount(); ++page) {
                const QString png = QStringLiteral("%1-p%2.png").arg(stem).arg(page + 1);
                const QImage ours = renderOurs(drawing, page, outDir + "/" + png);
                out << "<tr><td><img src=\"" << png << "\"></td><td>";
                if (page < theirs.size()) {
                    out << "<img src=\"" << QFileInfo(theirs[page]).fileName() << "\">";
                    const QString problem = inkProblem(ours, theirs[page], page);
                    if (!problem.isEmpty()) problems << problem;
                }
                out << "</td></tr>\n";
            }
            std::printf("%-55s %2d page(s) %7.1f ms\n", qPrintable(stem), drawing.pageCount(),
                        timer.nsecsElapsed() / 1e6);
            for (const QString& line : problems) {
                out << "<tr><td colspan=2><i>" << line.toHtmlEscaped() << "</i></td></tr>\n";
                std::printf("    %s\n", qPrintable(line));
            }
        } catch (const pbp::VbError& e) {
            ++failures;
            out << "<tr><td colspan=2>" << e.description().toHtmlEscaped() << "</td></tr>\n";
            std::printf("%-55s failed: %s\n", qPrintable(stem), qPrintable(e.description()));
        }
    }
    out << "</table></body></html>\n";
    QFile index(outDir + "/index.html");
    if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate) || index.write(html.toUtf8()) < 0) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(index.fileName()));
        return 2;
    }
    std::printf("Report: %s\n", qPrintable(index.fileName()));
    return failures == 0 ? 0 : 1;
}
