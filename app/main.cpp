#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "startup/mod_main.h"
#include "support/platform.h"
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
    pbp::Platform wired;
    wired.messages = &messages;
    wired.urls = &urls;
    wired.process = &process;
    wired.registryFile = pbp::defaultRegistryFile();
    wired.programFolder = QCoreApplication::applicationDirPath();
    pbp::setPlatform(wired);

    // Display of the batch window takes the collection once the window is linked in.
    pbp::Main(commandLine, [](pbp::FileCollection&) {});
    return 0;
}
