#include <QApplication>
#include <QStringDecoder>
#include <QStringList>
#include <cstdio>
#include <optional>

#include "batch_window/frm_plen_print_batch.h"
#include "printing/engine/engine_factory.h"
#include "printing/printers/combined_pdf_printer.h"
#include "printing/printers/cups_printer_system.h"
#include "printing/printers/printer_choices.h"
#include "printing/printers/printer_descriptions.h"
#include "printing/run/drawing_limits.h"
#include "printing/run/kept_printer_choices.h"
#include "printing/run/print_services.h"
#include "startup/mod_main.h"
#include "startup/start_request.h"
#include "support/display_check.h"
#include "support/platform.h"
#include "support/qt_messages.h"
#include "support/widgets/qt_file_dialog_service.h"
#include "support/widgets/qt_services.h"

namespace {

// Exit codes besides the print run's own (0, 1, 2).
constexpr int kUsageErrorExitCode = 2;
constexpr int kNoDisplayExitCode = 3;

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// An argument's bytes with everything but printable ASCII written \xHH, to show a name that is
// not UTF-8 as it is.
QString escapedBytes(const QByteArray& bytes) {
    QString text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

// The arguments as text. One that is not UTF-8 keeps replacement characters, so the drawing it
// names fails to open with its reason; standard error shows its bytes.
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringConverter::Utf8);
        arguments << utf8.decode(QByteArrayView(argv[i]));
        if (utf8.hasError())
            write(stderr, QStringLiteral("PlenBatchPrint: the argument '%1' is not UTF-8 text and "
                                         "cannot be decoded.\n")
                              .arg(escapedBytes(argv[i])));
    }
    return arguments;
}

// Answers the requests that need neither a display nor the batch window; nothing otherwise.
std::optional<int> answerWithoutWindow(const pbp::StartRequest& request, int argc, char** argv) {
    using Action = pbp::StartRequest::Action;
    switch (request.action) {
        case Action::ShowHelp: {
            const QCoreApplication core(argc, argv);
            write(stdout, pbp::HelpText());
            return 0;
        }
        case Action::ShowVersion:
            write(stdout, pbp::VersionText() + QLatin1Char('\n'));
            return 0;
        case Action::ListPrinters:
            write(stdout, pbp::printers::printerListText(pbp::printers::CupsPrinterSystem(),
                                                         request.longListing));
            return 0;
        case Action::UsageError:
            write(stderr, QStringLiteral("plenbatchprint: %1\nTry 'plenbatchprint --help'.\n")
                              .arg(request.error));
            return kUsageErrorExitCode;
        case Action::Start:
            break;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    pbp::SetApplicationIdentity();
    const pbp::StartRequest request = pbp::ReadStartRequest(argumentsOf(argc, argv));
    if (const std::optional<int> exitCode = answerWithoutWindow(request, argc, argv))
        return *exitCode;

    // A silent run shows no window of its own and must not depend on a display that may hang
    // or go away while it prints, so it always runs offscreen. An interactive start checks the
    // display before the application picks its platform, which aborts when the display is gone.
    if (pbp::IsSilentRequest(request)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (const pbp::DisplayCheck display = pbp::CheckDisplay(); !display.reachable) {
        write(stderr, QStringLiteral("PlenBatchPrint: %1; the batch window cannot be shown. "
                                     "Use --silent (or /silent) to print without a window.\n")
                          .arg(display.problem));
        return kNoDisplayExitCode;
    }
    pbp::QuietMissingRuntimeFolderWarning();
    // The drawing limits are read, environment first, when the engine starts its workers.
    if (request.timeLimitSeconds)
        qputenv("PLENBATCHPRINT_TIME_LIMIT", QByteArray::number(*request.timeLimitSeconds));
    if (request.memoryLimitMiB)
        qputenv("PLENBATCHPRINT_MEMORY_LIMIT", QByteArray::number(*request.memoryLimitMiB));
    QApplication app(argc, argv);

    pbp::QtMessageService messages;
    pbp::QtUrlOpener urls;
    pbp::QtProcessEnder process;
    pbp::QtFileDialogService fileDialogs;
    // --time-limit bounds each wait for the print scheduler too.
    pbp::printers::CupsPrinterSystem cups(request.timeLimitSeconds
                                              ? std::chrono::seconds(*request.timeLimitSeconds)
                                              : pbp::printers::kSchedulerDeadline);
    // A run into one PDF gathers its jobs here instead of printing them.
    pbp::printers::CombinedPdfPrinter onePdf(cups);
    // Each job carries the choices kept for its printer, with the command line's -o over them.
    pbp::printers::ChosenOptionsPrinters printers(onePdf, [&request](const QString& printer) {
        return pbp::printers::mergedChoices(pbp::KeptPrinterChoices(printer),
                                            request.printerOptions);
    });
    pbp::LibVisioEngineFactory engines(
        printers, [] { return pbp::DrawingWorkerSettings(pbp::platform().programFolder); });
    pbp::Platform wired;
    wired.messages = &messages;
    wired.urls = &urls;
    wired.process = &process;
    wired.fileDialogs = &fileDialogs;
    wired.registryFile = pbp::defaultRegistryFile();
    wired.programFolder = QCoreApplication::applicationDirPath();
    pbp::setPlatform(wired);
    const pbp::ScopedPrintServices printing(
        {.printers = &printers, .engines = &engines, .onePdf = &onePdf});

    // A silent run ends the process inside Display; an interactive one lives in the event loop
    // while the window is shown.
    pbp::frmPlenPrintBatch window;
    pbp::Main(request, [&window](pbp::FileCollection& files) { window.Display(files); });
    return window.isVisible() ? app.exec() : 0;
}
