// Times the batch window's list work on large lists and prints a table against the targets.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/sheet_preview_pane.h"
#include "printing/printers/printer_system.h"
#include "printing/run/print_services.h"
#include "support/platform.h"

namespace {

constexpr int kEntries = 10000;
constexpr double kTargetMs = 500.0;

class QuietMessages : public pbp::MessageService {
  public:
    void show(const QString& title, const QString& text, pbp::MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    void beep() override {}
};

class StayingProcess : public pbp::ProcessEnder {
  public:
    void endProcess(int) override {}
};

class OnePrinter : public pbp::printers::PrinterSystem {
  public:
    QStringList printerNames() const override { return {pbp::printers::kPdfPrinterName}; }
    QString defaultPrinter() const override { return {}; }
    QPageSize defaultPaper(const QString&) const override { return QPageSize(QPageSize::A4); }
    bool makesCopies(const QString&) const override { return false; }
    void submit(const pbp::printers::PrintJob&) override {}
};

// A start that names the 10,000 drawings.
pbp::RunRequest entries() {
    std::vector<pbp::FileItem> items;
    for (int i = 1; i <= kEntries; ++i)
        items.emplace_back(QStringLiteral("/srv/drawings/plant-%1/section-%1.vsd").arg(i));
    pbp::RunRequest request;
    request.files = std::move(items);
    return request;
}

// Every other list row from `first`: 5,000 of the 10,000.
std::vector<int> everyOtherRow(int first) {
    std::vector<int> rows;
    for (int row = first; row <= kEntries; row += 2) rows.push_back(row);
    return rows;
}

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    QCoreApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

// A displayed window with 10,000 entries, of which 5,000 are selected.
double timeButton(const char* button, int firstSelected) {
    pbp::frmPlenPrintBatch window;
    window.Display(entries());
    auto* grid = window.findChild<pbp::FileListGrid*>(QStringLiteral("fgListOfFiles"));
    grid->replaceEntries(grid->entries(), everyOtherRow(firstSelected));
    auto* command = window.findChild<QAbstractButton*>(QLatin1String(button));
    command->setEnabled(true);
    return millisecondsOf([&] { command->click(); });
}

void printRow(const char* what, double ms, double targetMs = kTargetMs) {
    std::printf("%-52s %10.1f %10.0f   %s\n", what, ms, targetMs, ms < targetMs ? "ok" : "SLOW");
}

// From selecting a drawing to its first sheet shown in the preview pane, with the pane's
// worker started by an earlier preview: the median of `rounds` selections of drawings not yet
// previewed (copies of one typical drawing, so that none comes from the cache).
double timePreview(int rounds) {
    QTemporaryDir dir;
    const QString typical =
        QStringLiteral(PLEN_SOURCE_DIR "/tests/fixtures/drawings/mixed_pages.vdx");
    std::vector<pbp::FileItem> items;
    for (int i = 0; i <= rounds; ++i) {
        const QString copy = dir.filePath(QStringLiteral("drawing-%1.vdx").arg(i));
        QFile::copy(typical, copy);
        items.emplace_back(copy);
    }
    pbp::frmPlenPrintBatch window;
    pbp::RunRequest request;
    request.files = std::move(items);
    window.resize(1200, 700);
    window.Display(request);
    auto* grid = window.findChild<pbp::FileListGrid*>(QStringLiteral("fgListOfFiles"));
    auto* pane = window.findChild<pbp::SheetPreviewPane*>(QStringLiteral("picPreview"));
    if (!pane->isVisible()) window.findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
    std::vector<double> times;
    for (int row = 0; row <= rounds; ++row) {
        const double ms = millisecondsOf([&] {
            grid->setCurrentCell(row, 0);
            QElapsedTimer limit;
            limit.start();
            while (pane->preview().plan.sheets().empty() && limit.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        });
        if (row > 0) times.push_back(ms);  // the first one also starts the worker
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    QuietMessages messages;
    StayingProcess process;
    OnePrinter printers;
    pbp::Platform bench;
    bench.messages = &messages;
    bench.process = &process;
    bench.registryFile = settings.filePath(QStringLiteral("registry"));
    pbp::setPlatform(bench);
    pbp::setPrintServices({.printers = &printers});

    std::printf("%-52s %10s %10s\n", "Batch window, 10,000 entries", "time ms", "target ms");
    {
        pbp::frmPlenPrintBatch window;
        const pbp::RunRequest request = entries();
        printRow("Display", millisecondsOf([&] { window.Display(request); }));
    }
    printRow("Move Down, 5,000 rows selected", timeButton("cmdMoveDown", 1));
    printRow("Move Up, 5,000 rows selected", timeButton("cmdMoveUp", 2));
    printRow("Remove File(s), 5,000 rows selected", timeButton("cmdRemove", 1));
    bench.programFolder = QStringLiteral(PLEN_WORKER_FOLDER);
    pbp::setPlatform(bench);
    printRow("Preview of a typical drawing shown (median of 20)", timePreview(20), 150.0);
    return 0;
}
