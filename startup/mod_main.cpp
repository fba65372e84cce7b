#include "startup/mod_main.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "startup/spaces.h"
#include "support/error_handling.h"
#include "support/escaped_text.h"
#include "support/platform.h"

namespace pbp {

namespace {

void tell(const QString& text) {
    platform().messages->show(platform().appTitle, text, MessageIcon::Exclamation);
}

// Says how many entries of the job file could not be read, and why for the first few.
void tellUnreadable(const QString& job, const JobFileNotes& notes) {
    const QString text = UnreadableEntriesText(job, notes);
    if (!text.isEmpty()) tell(text);
}

// True when the text starts like an XML document: then it was meant as a job file.
bool looksLikeXml(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    QByteArray start = file.read(512).trimmed();
    if (start.startsWith("\xEF\xBB\xBF")) start = start.mid(3);
    return start.startsWith('<') || start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF");
}

// The drawings of a job file, else of a batch list; notes a job file that asks to be deleted.
// A file that gives no drawing is reported with the reason, naming the file.
FileCollection filesOfJob(const QString& job, RunRequest& run) {
    bool deleteWhenComplete = false;
    JobFileNotes jobNotes;
    FileCollection files = GetFilesFromXMLDataFile(job, &deleteWhenComplete, &jobNotes);
    if (files && !files->empty()) {
        tellUnreadable(job, jobNotes);
        if (deleteWhenComplete) {
            run.jobFileToDelete = job;
            run.jobFileIdentity = jobNotes.identity;
        }
        return files;
    }
    JobFileNotes listNotes;
    FileCollection list = GetFilesFromCSVDataFile(job, &listNotes);
    if (listNotes.reported) return list;  // the reader said why
    if (list && !list->empty()) {
        tellUnreadable(job, listNotes);
        return list;
    }
    const JobFileNotes& notes = files || looksLikeXml(job) ? jobNotes : listNotes;
    if (!notes.problem.isEmpty()) {
        tell(QCoreApplication::translate("StartUp", "The job file %1 gives no drawings: %2.")
                 .arg(EscapedText(job), notes.problem));
    } else {
        tellUnreadable(job, notes);
        if (notes.unreadableEntries == 0)
            tell(QCoreApplication::translate("StartUp", "The job file %1 names no drawings.")
                     .arg(EscapedText(job)));
    }
    return list;
}

void readClassicCommandLine(const QString& commandLine, RunRequest& run) {
    if (commandLine.isEmpty()) return;
    QString working = TrimSpaces(commandLine).toString();
    run.silent = GetSilentOptionFromCommandLine(working);
    run.printer = GetPrinterOptionFromCommandLine(working);
    const QString job = GetDataFileFromCommandLine(working);
    run.files = job.isEmpty() ? GetFilesFromCommandLine(working) : filesOfJob(job, run);
}

void readLinuxRequest(const StartRequest& request, RunRequest& run) {
    run.silent = request.silent;
    run.printer = request.printer;
    if (request.copies) run.copies = request.copies->toInt();
    run.firstPageOnly = request.firstPageOnly;
    run.summaryHeader = request.summaryHeader;
    run.printerOptions = request.printerOptions;
    run.limits = {request.timeLimitSeconds, request.memoryLimitMiB};
    run.outputPdf = request.outputPdf;
    run.files = request.job.isEmpty()
                    ? std::vector<FileItem>(request.files.begin(), request.files.end())
                    : filesOfJob(request.job, run);
}

// Takes the "/silent" entries out of the list: each asks for a silent run.
void foldSilentEntries(RunRequest& run) {
    if (!run.files) return;
    std::erase_if(*run.files, [&run](const FileItem& item) {
        const auto* path = std::get_if<QString>(&item);
        if (!path || *path != QLatin1String("/silent")) return false;
        run.silent = true;
        return true;
    });
}

}  // namespace

RunRequest ReadRunRequest(const StartRequest& request) {
    RunRequest run;
    Guarded(QStringLiteral("modMain"), QStringLiteral("Main"), [&] {
        if (request.classic)
            readClassicCommandLine(request.classicCommandLine, run);
        else
            readLinuxRequest(request, run);
        foldSilentEntries(run);
    });
    return run;
}

}  // namespace pbp
