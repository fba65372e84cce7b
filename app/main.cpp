#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "batch_window/frm_plen_print_batch.h"
#include "printing/engine/engine_factory.h"
#include "printing/printers/cups_printer_system.h"
#include "printing/run/drawing_limits.h"
#include "startup/mod_main.h"
#include "support/platform.h"
#include "support/qt_file_dialog_service.h"
#include "support/qt_services.h"

namespace {

// Exit code of an interactive start on a machine without a display.
constexpr int kNoDisplayExitCode = 3;

// The program's arguments joined by single spaces: the one command-line text start-up reads.
QString commandLineOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments.join(u' ');
}

}  // namespace

int main(int argc, char** argv) {
    const QString commandLine = commandLineOf(argc, argv);
    if (pbp::isHeadless()) {
        if (!pbp::HasSilentOption(commandLine)) {
            std::fputs(
                "PlenBatchPrint: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); the "
                "batch window cannot be shown. Use /silent to print without a window.\n",
                stderr);
            return kNoDisplayExitCode;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    pbp::QtMessageService messages;
    pbp::QtUrlOpener urls;
    pbp::QtProcessEnder process;
    pbp::QtFileDialogService fileDialogs;
    pbp::printers::CupsPrinterSystem printers;
    pbp::LibVisioEngineFactory engines(
        printers, [] { return pbp::DrawingWorkerSettings(pbp::platform().programFolder); });
    pbp::Platform wired;
    wired.messages = &messages;
    wired.urls = &urls;
    wired.process = &process;
    wired.fileDialogs = &fileDialogs;
    wired.printers = &printers;
    wired.engines = &engines;
    wired.registryFile = pbp::defaultRegistryFile();
    wired.programFolder = QCoreApplication::applicationDirPath();
    pbp::setPlatform(wired);

    // A silent run ends the process inside Display; an interactive one lives in the event loop
    // while the window is shown.
    pbp::frmPlenPrintBatch window;
    pbp::Main(commandLine, [&window](pbp::FileCollection& files) { window.Display(files); });
    return window.isVisible() ? app.exec() : 0;
}
