#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace pbp {

// What the program's arguments ask for, read in one of two ways. The classic way is the
// Windows program's: the arguments joined by single spaces into one text with /silent,
// /printer=, /batchjob= and /file= markers. The Linux way is `[OPTIONS] [FILE...]` read by
// QCommandLineParser; it is used when the first argument starts with "-" or no classic marker
// is given.
struct StartRequest {
    enum class Action { Start, ShowHelp, ShowVersion, ListPrinters, UsageError };
    Action action = Action::Start;

    bool classic = false;
    QString classicCommandLine;  // the joined text, for the classic readers

    // Linux syntax
    bool silent = false;
    QString printer;
    std::optional<QString> copies;
    bool firstPageOnly = false;
    std::optional<QString> summaryHeader;   // --summary gives an empty header: keep the window's
    QString job;                            // --job: a job file or a batch list
    QMap<QString, QString> printerOptions;  // -o NAME=VALUE, as lp takes them
    QString outputPdf;                      // --output: every sheet into this one PDF
    bool longListing = false;               // --list-printers --long: with each queue's options
    QStringList files;                      // one drawing per argument
    // Bounds of one drawing's reader, over the settings store's (--time-limit, --memory-limit)
    std::optional<int> timeLimitSeconds;
    std::optional<int> memoryLimitMiB;

    QString error;  // what is wrong, for UsageError
};

// Reads the program's arguments (without the program's own name).
StartRequest ReadStartRequest(const QStringList& arguments);

// Whether the request asks for a silent run.
bool IsSilentRequest(const StartRequest& request);

// The text --help prints.
QString HelpText();

// The text --version prints: the program's name and version.
QString VersionText();

// Sets the application's name and version (QCoreApplication), which --version, the About box
// and the desktop read. Callable before any application object exists.
void SetApplicationIdentity();

}  // namespace pbp
