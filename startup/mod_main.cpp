#include "startup/mod_main.h"

#include "startup/spaces.h"
#include "support/error_handling.h"
#include "support/program_state.h"

namespace pbp {

namespace {

// The drawings of a job file, else of a batch list; notes a job file that asks to be deleted.
FileCollection filesOfJob(const QString& job) {
    bool deleteWhenComplete = false;
    FileIdentity identity;
    FileCollection files = GetFilesFromXMLDataFile(job, &deleteWhenComplete, &identity);
    if (!files || files->empty()) return GetFilesFromCSVDataFile(job);
    if (deleteWhenComplete) {
        g_sJobFileToDelete = job;
        g_oJobFileToDeleteIdentity = identity;
    }
    return files;
}

FileCollection readClassicCommandLine(const QString& commandLine) {
    if (commandLine.isEmpty()) return std::vector<FileItem>{};
    QString working = TrimSpaces(commandLine).toString();
    g_bSilentMode = GetSilentOptionFromCommandLine(working);
    g_sSelectedPrinter = GetPrinterOptionFromCommandLine(working);
    const QString job = GetDataFileFromCommandLine(working);
    return job.isEmpty() ? GetFilesFromCommandLine(working) : filesOfJob(job);
}

FileCollection readLinuxRequest(const StartRequest& request) {
    g_bSilentMode = request.silent;
    g_sSelectedPrinter = request.printer;
    g_oCommandLineOptions = {request.copies, request.firstPageOnly, request.summaryHeader};
    if (!request.job.isEmpty()) return filesOfJob(request.job);
    return std::vector<FileItem>(request.files.begin(), request.files.end());
}

}  // namespace

void Main(const StartRequest& request, const std::function<void(FileCollection&)>& display) {
    Guarded(QStringLiteral("modMain"), QStringLiteral("Main"), [&] {
        FileCollection cFiles = request.classic ? readClassicCommandLine(request.classicCommandLine)
                                                : readLinuxRequest(request);
        display(cFiles);
    });
}

}  // namespace pbp
