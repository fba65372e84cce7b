#include "startup/mod_main.h"

#include <QFile>
#include <QFileInfo>

#include "startup/spaces.h"
#include "support/error_handling.h"
#include "support/escaped_text.h"
#include "support/platform.h"
#include "support/program_state.h"

namespace pbp {

namespace {

void tell(const QString& text) {
    platform().messages->show(g_sAppTitle, text, MessageIcon::Exclamation);
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
FileCollection filesOfJob(const QString& job) {
    bool deleteWhenComplete = false;
    JobFileNotes jobNotes;
    FileCollection files = GetFilesFromXMLDataFile(job, &deleteWhenComplete, &jobNotes);
    if (files && !files->empty()) {
        tellUnreadable(job, jobNotes);
        if (deleteWhenComplete) {
            g_sJobFileToDelete = job;
            g_oJobFileToDeleteIdentity = jobNotes.identity;
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
        tell(QStringLiteral("The job file %1 gives no drawings: %2.")
                 .arg(EscapedText(job), notes.problem));
    } else {
        tellUnreadable(job, notes);
        if (notes.unreadableEntries == 0)
            tell(QStringLiteral("The job file %1 names no drawings.").arg(EscapedText(job)));
    }
    return list;
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
    g_oCommandLineOptions = {request.copies, request.firstPageOnly, request.summaryHeader,
                             request.outputPdf};
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
