#include <QApplication>
#include <QGuiApplication>
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
#include "printing/run/silent_run.h"
#include "resources/string_table.h"
#include "resources/translations.h"
#include "startup/mod_main.h"
#include "startup/start_request.h"
#include "support/display_check.h"
#include "support/platform.h"
#include "support/qt_messages.h"
#include "support/standard_error_messages.h"
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

// The printers and the drawing engine a run prints with, wired into the print services.
class PrintingWiring {
  public:
    explicit PrintingWiring(const pbp::RunRequest& request)
        // --time-limit bounds each wait for the print scheduler too.
        : cups_(request.limits.timeLimitSeconds
                    ? std::chrono::seconds(*request.limits.timeLimitSeconds)
                    : pbp::printers::kSchedulerDeadline),
          // Each job carries the choices kept for its printer, with the command line's -o
          // over them.
          // A run into one PDF gathers its jobs here instead of printing them.
          onePdf_(cups_),
          printers_(onePdf_,
                    [options = request.printerOptions](const QString& printer) {
                        return pbp::printers::mergedChoices(pbp::KeptPrinterChoices(printer),
                                                            options);
                    }),
          engines_(printers_,
                   [limits = request.limits] {
                       return pbp::DrawingWorkerSettings(pbp::platform().programFolder, limits);
                   }),
          services_({.printers = &printers_, .engines = &engines_, .onePdf = &onePdf_}) {}

  private:
    pbp::printers::CupsPrinterSystem cups_;
    pbp::printers::CombinedPdfPrinter onePdf_;
    pbp::printers::ChosenOptionsPrinters printers_;
    pbp::LibVisioEngineFactory engines_;
    pbp::ScopedPrintServices services_;
};

pbp::Platform platformWith(pbp::MessageService& messages) {
    pbp::Platform wired;
    wired.messages = &messages;
    wired.appTitle = pbp::LoadResString(101);
    wired.registryFile = pbp::defaultRegistryFile();
    wired.programFolder = QCoreApplication::applicationDirPath();
    return wired;
}

// A silent run: no window and no widget at all. The summary page is painted with QPainter,
// which needs the GUI application (offscreen).
int runSilently(const pbp::StartRequest& start, int argc, char** argv) {
    QGuiApplication app(argc, argv);
    // Step texts on standard error speak the user's language; the report stays English.
    pbp::InstallTranslations(app);
    pbp::StandardErrorMessages messages;
    pbp::setPlatform(platformWith(messages));
    const pbp::RunRequest request = pbp::ReadRunRequest(start);
    const PrintingWiring printing(request);
    return pbp::RunSilently(request);
}

// The batch window, living in the event loop while it is shown. A classic start may still
// turn out silent ("/file=/silent"): it then prints without showing the window.
int runWithWindow(const pbp::StartRequest& start, int argc, char** argv) {
    QApplication app(argc, argv);
    // The windows speak the user's language; the report on standard output stays English.
    pbp::InstallTranslations(app);
    pbp::QtMessageService messages;
    pbp::QtUrlOpener urls;
    pbp::QtProcessEnder process;
    pbp::QtFileDialogService fileDialogs;
    pbp::Platform wired = platformWith(messages);
    wired.urls = &urls;
    wired.process = &process;
    wired.fileDialogs = &fileDialogs;
    pbp::setPlatform(wired);
    const pbp::RunRequest request = pbp::ReadRunRequest(start);
    const PrintingWiring printing(request);
    if (request.silent) {
        // No message box waits for an answer in a silent run.
        pbp::StandardErrorMessages quiet;
        wired.messages = &quiet;
        pbp::setPlatform(wired);
        return pbp::RunSilently(request);
    }

    pbp::frmPlenPrintBatch window;
    window.Display(request);
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    pbp::SetApplicationIdentity();
    const pbp::StartRequest start = pbp::ReadStartRequest(argumentsOf(argc, argv));
    if (const std::optional<int> exitCode = answerWithoutWindow(start, argc, argv))
        return *exitCode;

    // A silent run shows no window of its own and must not depend on a display that may hang
    // or go away while it prints, so it always runs offscreen. An interactive start checks the
    // display before the application picks its platform, which aborts when the display is gone.
    const bool silent = pbp::IsSilentRequest(start);
    if (silent) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (const pbp::DisplayCheck display = pbp::CheckDisplay(); !display.reachable) {
        write(stderr, QStringLiteral("PlenBatchPrint: %1; the batch window cannot be shown. "
                                     "Use --silent (or /silent) to print without a window.\n")
                          .arg(display.problem));
        return kNoDisplayExitCode;
    }
    pbp::QuietMissingRuntimeFolderWarning();
    return silent ? runSilently(start, argc, argv) : runWithWindow(start, argc, argv);
}
