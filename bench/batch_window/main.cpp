// Times the batch window's list work on large lists and prints a table against the targets.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
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

void printRow(const char* what, double ms) {
    std::printf("%-52s %10.1f %10.0f   %s\n", what, ms, kTargetMs, ms < kTargetMs ? "ok" : "SLOW");
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
    return 0;
}
