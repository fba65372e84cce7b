#include "startup/start_request.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>

#include "resources/string_table.h"
#include "startup/mod_main.h"

namespace pbp {

namespace {

const QString kSummaryHeaderOption = QStringLiteral("summary-header");

// The Linux options. --summary takes an optional value, which QCommandLineParser cannot
// express: "--summary=HEADER" is handed to it as the hidden option --summary-header.
struct LinuxOptions {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the program's version and exit.")};
    QCommandLineOption silent{{QStringLiteral("s"), QStringLiteral("silent")},
                              QStringLiteral("Print the drawings without showing the window, "
                                             "report each on standard output, and exit.")};
    QCommandLineOption printer{{QStringLiteral("d"), QStringLiteral("printer")},
                               QStringLiteral("Print to the printer NAME (as lpstat -p lists "
                                              "it, a CUPS instance QUEUE/INSTANCE, or "
                                              "\"PlenBatchPrint PDF\")."),
                               QStringLiteral("NAME")};
    QCommandLineOption copies{{QStringLiteral("n"), QStringLiteral("copies")},
                              QStringLiteral("Print N copies (1 to 999). A silent run without "
                                             "it leaves the count to the printer's settings."),
                              QStringLiteral("N")};
    QCommandLineOption firstPage{QStringLiteral("first-page"),
                                 QStringLiteral("Print only the first page of each drawing.")};
    QCommandLineOption summary{QStringLiteral("summary"),
                               QStringLiteral("Print a summary page first; --summary=HEADER "
                                              "gives its first line.")};
    QCommandLineOption summaryHeader{kSummaryHeaderOption, QString(), QStringLiteral("HEADER")};
    QCommandLineOption job{{QStringLiteral("j"), QStringLiteral("job")},
                           QStringLiteral("Read the drawings from a job file (XML) or a batch "
                                          "list (comma-separated)."),
                           QStringLiteral("FILE")};
    QCommandLineOption timeLimit{QStringLiteral("time-limit"),
                                 QStringLiteral("Give up a drawing that takes longer than "
                                                "SECONDS to read or to print (default 60)."),
                                 QStringLiteral("SECONDS")};
    QCommandLineOption memoryLimit{QStringLiteral("memory-limit"),
                                   QStringLiteral("Give up a drawing whose reader needs more "
                                                  "than MIB mebibytes (default 2048)."),
                                   QStringLiteral("MIB")};
    QCommandLineOption listPrinters{QStringLiteral("list-printers"),
                                    QStringLiteral("List the printers (name, description, "
                                                   "state, default) and exit.")};

    QCommandLineOption printerOption{{QStringLiteral("o"), QStringLiteral("option")},
                                     QStringLiteral("Send the printer option NAME with VALUE "
                                                    "with every job, as lp -o does (for "
                                                    "example sides=two-sided-long-edge); "
                                                    "repeatable."),
                                     QStringLiteral("NAME=VALUE")};
    QCommandLineOption output{QStringLiteral("output"),
                              QStringLiteral("Print every sheet of the run into the one PDF "
                                             "FILE, with an outline of drawings and pages, "
                                             "instead of onto a printer."),
                              QStringLiteral("FILE")};
    QCommandLineOption longList{QStringLiteral("long"),
                                QStringLiteral("With --list-printers, list each printer's "
                                               "options too, its default marked with *.")};

    LinuxOptions() { summaryHeader.setFlags(QCommandLineOption::HiddenFromHelp); }

    void addTo(QCommandLineParser& parser) const {
        parser.setApplicationDescription(
            QStringLiteral("Prints Visio drawings in one batch. Without --silent the drawings "
                           "are listed in the batch window.\n\nThe classic options /silent, "
                           "/printer=NAME, /batchjob=FILE and /file=DRAWING work as well "
                           "(see docs/command-line.md)."));
        parser.addOptions({help, version, silent, printer, copies, firstPage, summary,
                           summaryHeader, job, timeLimit, memoryLimit, listPrinters, printerOption,
                           output, longList});
        parser.addPositionalArgument(QStringLiteral("FILE"),
                                     QStringLiteral("A drawing to print; each argument is one."),
                                     QStringLiteral("[FILE...]"));
    }
};

// The arguments as the parser takes them: the program name first, "--summary=HEADER" renamed.
QStringList parserArguments(const QStringList& arguments) {
    QStringList result{QStringLiteral("plenbatchprint")};
    const QString withHeader = QStringLiteral("--summary=");
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--")) optionsEnded = true;
        if (!optionsEnded && argument.startsWith(withHeader))
            result << QStringLiteral("--") + kSummaryHeaderOption + QLatin1Char('=') +
                          argument.mid(withHeader.size());
        else
            result << argument;
    }
    return result;
}

bool usesClassicSyntax(const QStringList& arguments) {
    if (arguments.isEmpty() || arguments.first().startsWith(QLatin1Char('-'))) return false;
    return HasClassicOption(arguments.join(QLatin1Char(' ')));
}

StartRequest usageError(const QString& error) {
    StartRequest request;
    request.action = StartRequest::Action::UsageError;
    request.error = error;
    return request;
}

// A whole number from `low` to `high` given to `option`, or nothing when it is not one.
std::optional<int> boundedNumber(const QCommandLineParser& parser, const QCommandLineOption& option,
                                 int low, int high) {
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

StartRequest readLinuxArguments(const QStringList& arguments) {
    const LinuxOptions options;
    QCommandLineParser parser;
    options.addTo(parser);
    if (!parser.parse(parserArguments(arguments))) return usageError(parser.errorText());

    StartRequest request;
    if (parser.isSet(options.help))
        request.action = StartRequest::Action::ShowHelp;
    else if (parser.isSet(options.version))
        request.action = StartRequest::Action::ShowVersion;
    else if (parser.isSet(options.listPrinters))
        request.action = StartRequest::Action::ListPrinters;
    request.longListing = parser.isSet(options.longList);
    if (request.action != StartRequest::Action::Start) return request;

    request.silent = parser.isSet(options.silent);
    request.printer = parser.value(options.printer);
    // An empty name is most often an unset variable ("-d $PRINTER"): printing on whatever
    // printer comes next would be a surprise.
    if (parser.isSet(options.printer) && request.printer.trimmed().isEmpty())
        return usageError(
            QStringLiteral("--printer (-d) needs a printer name; it was given "
                           "an empty one."));
    if (parser.isSet(options.copies)) {
        bool ok = false;
        const int copies = parser.value(options.copies).toInt(&ok);
        if (!ok || copies < 1 || copies > 999)
            return usageError(QStringLiteral("--copies takes a whole number from 1 to 999, not "
                                             "'%1'.")
                                  .arg(parser.value(options.copies)));
        request.copies = QString::number(copies);
    }
    if (parser.isSet(options.timeLimit)) {
        request.timeLimitSeconds = boundedNumber(parser, options.timeLimit, 1, 86400);
        if (!request.timeLimitSeconds)
            return usageError(QStringLiteral("--time-limit takes seconds from 1 to 86400."));
    }
    if (parser.isSet(options.memoryLimit)) {
        request.memoryLimitMiB = boundedNumber(parser, options.memoryLimit, 64, 1 << 20);
        if (!request.memoryLimitMiB)
            return usageError(QStringLiteral("--memory-limit takes mebibytes from 64 to 1048576."));
    }
    for (const QString& option : parser.values(options.printerOption)) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals < 1 || equals == option.size() - 1)
            return usageError(
                QStringLiteral("-o takes NAME=VALUE (as lp does), not '%1'.").arg(option));
        request.printerOptions.insert(option.left(equals), option.mid(equals + 1));
    }
    request.firstPageOnly = parser.isSet(options.firstPage);
    request.outputPdf = parser.value(options.output);
    if (parser.isSet(options.output) && request.outputPdf.trimmed().isEmpty())
        return usageError(QStringLiteral("--output needs a file name; it was given none."));
    if (!request.outputPdf.isEmpty() && parser.isSet(options.printer))
        return usageError(
            QStringLiteral("--output writes one PDF instead of printing; it cannot go with "
                           "--printer (-d)."));
    if (parser.isSet(options.summaryHeader))
        request.summaryHeader = parser.value(options.summaryHeader);
    else if (parser.isSet(options.summary))
        request.summaryHeader = QString();
    request.job = parser.value(options.job);
    request.files = parser.positionalArguments();
    if (!request.job.isEmpty() && !request.files.isEmpty())
        return usageError(QStringLiteral("Give drawings or --job, not both."));
    return request;
}

}  // namespace

StartRequest ReadStartRequest(const QStringList& arguments) {
    if (!usesClassicSyntax(arguments)) return readLinuxArguments(arguments);
    StartRequest request;
    request.classic = true;
    request.classicCommandLine = arguments.join(QLatin1Char(' '));
    return request;
}

bool IsSilentRequest(const StartRequest& request) {
    return request.classic ? HasSilentOption(request.classicCommandLine) : request.silent;
}

QString HelpText() {
    const LinuxOptions options;
    QCommandLineParser parser;
    options.addTo(parser);
    return parser.helpText();
}

QString VersionText() {
    return QStringLiteral("PlenBatchPrint ") + QCoreApplication::applicationVersion();
}

void SetApplicationIdentity() {
    const ProgramVersion version = programVersion();
    QCoreApplication::setApplicationName(QStringLiteral("plenbatchprint"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.revision));
    // Matches the installed .desktop file, so desktops pair the windows with its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.plenbatchprint.PlenBatchPrint"));
}

}  // namespace pbp
