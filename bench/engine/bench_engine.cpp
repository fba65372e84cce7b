// Times the drawing engine over a folder of drawings: open, print every foreground page to the
// built-in PDF printer, close. Prints a table with the median per drawing, one pass over all
// drawings, the memory growth of 20 passes against one, and LibreOffice's conversion time when
// soffice is installed. Usage: bench_engine [drawings folder] (default ../shared/testdata).

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "printing/engine/engine_factory.h"
#include "printing/engine/worker_pool.h"
#include "printing/printers/cups_printer_system.h"

namespace {

using namespace pbp;

QStringList drawingsIn(const QString& folder) {
    QStringList paths;
    QDirIterator it(folder, {"*.vsd", "*.vsdx", "*.vdx"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) paths.append(it.next());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Opens, prints every foreground page to the built-in PDF printer, closes (also when printing
// fails, so that failed drawings do not stay open and count as memory growth); the saved PDF
// is removed again so that the folder does not fill up.
void printDrawing(visio::Application& app, const QString& path, const QString& pdfFolder) {
    auto doc = app.Documents()->Open(path);
    try {
        auto pages = doc->Pages();
        int foreground = 0;
        for (int i = 1; i <= pages->Count(); ++i) foreground += pages->Item(i)->Background() == 0;
        if (foreground > 0)
            doc->PrintOut(visio::visPrintFromTo, 1, qint16(foreground), false,
                          printers::kPdfPrinterName, false, QString(), 1, false, false);
    } catch (...) {
        doc->Close();
        throw;
    }
    doc->Close();
    QDir folder(pdfFolder);
    for (const QString& name : folder.entryList(QDir::Files)) folder.remove(name);
}

double statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ')[0].toDouble();
    return 0;
}

// CPU time of this process in milliseconds (the drawing workers' is not counted); unlike wall
// time it does not count waiting for a processor that other programs keep busy.
double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(PLEN_SOURCE_DIR "/../shared/testdata");
    const QStringList drawings = drawingsIn(folder);
    if (drawings.isEmpty()) {
        std::fprintf(stderr, "no drawings found in %s\n", qPrintable(folder));
        return 1;
    }
    QTemporaryDir out;
    qputenv("PLENBATCHPRINT_PDF_DIR", QFile::encodeName(out.path()));
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory factory(printers, [] {
        return visio::defaultWorkerSettings(QStringLiteral(PLEN_WORKER_EXECUTABLE));
    });
    auto app = factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));

    const auto pass = [&] {
        for (const QString& path : drawings) {
            try {
                printDrawing(*app, path, out.path());
            } catch (const VbError& error) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(path), error.what());
            }
        }
    };

    pass();  // warm-up: fonts, caches, first-use allocations
    const double rssAfterOne = statusKilobytes("VmHWM:");

    constexpr int kRounds = 5;
    std::vector<double> perDrawing, perDrawingCpu;
    for (const QString& path : drawings) {
        std::vector<double> times, cpuTimes;
        for (int round = 0; round < kRounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = cpuMilliseconds();
            try {
                printDrawing(*app, path, out.path());
            } catch (const VbError&) {
            }
            times.push_back(timer.nsecsElapsed() / 1e6);
            cpuTimes.push_back(cpuMilliseconds() - cpuStart);
        }
        perDrawing.push_back(median(times));
        perDrawingCpu.push_back(median(cpuTimes));
    }
    QElapsedTimer total;
    total.start();
    const double totalCpuStart = cpuMilliseconds();
    pass();
    const double totalMs = total.nsecsElapsed() / 1e6;
    const double totalCpuMs = cpuMilliseconds() - totalCpuStart;

    for (int round = 0; round < 20; ++round) pass();
    const double rssAfterTwenty = statusKilobytes("VmHWM:");

    std::printf("%-46s %12s %10s\n", "measure", "value", "target");
    std::printf("%-46s %12d %10s\n", "drawings", int(drawings.size()), "");
    std::printf("%-46s %9.2f ms %10s\n", "median per drawing (open, print all, close)",
                median(perDrawing), "< 15 ms");
    std::printf("%-46s %9.2f ms %10s\n", "  same, the program's CPU time", median(perDrawingCpu),
                "");
    std::printf("%-46s %9.2f ms %10s\n", "slowest drawing",
                *std::max_element(perDrawing.begin(), perDrawing.end()), "");
    std::printf("%-46s %9.2f ms %10s\n", "total, one pass over all drawings", totalMs, "< 1000 ms");
    std::printf("%-46s %9.2f ms %10s\n", "  same, the program's CPU time", totalCpuMs, "");
    std::printf("%-46s %9.2f MB %10s\n", "program's peak memory growth, 20 passes vs 1",
                (rssAfterTwenty - rssAfterOne) / 1024.0, "< 20 MB");

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("%-46s %12s %10s\n", "soffice --convert-to pdf, same drawings", "not installed",
                    ">= 5x");
        return 0;
    }
    QTemporaryDir sofficeOut;
    QProcess convert;
    QElapsedTimer sofficeTimer;
    sofficeTimer.start();
    convert.start(
        soffice,
        QStringList{"--headless", "--convert-to", "pdf", "--outdir", sofficeOut.path()} + drawings);
    convert.waitForFinished(-1);
    const double sofficeMs = sofficeTimer.nsecsElapsed() / 1e6;
    std::printf("%-46s %9.2f ms %10s\n", "soffice --convert-to pdf, same drawings", sofficeMs, "");
    std::printf("%-46s %11.1fx %10s\n", "ours faster by", sofficeMs / totalMs, ">= 5x");
    return 0;
}
