#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "printing/run/run_request.h"
#include "startup/start_request.h"
#include "support/file_collection.h"
#include "support/file_identity.h"

namespace pbp {

// Command-line readers. The first three take the working command line, remove the option they
// found from it and answer the option's value; a marker counts only where it begins the text
// or follows a space, so paths such as /home/silentbob/a.vsd are left whole.

// "/silent" (also "/silentmode"): true when present; every counting "/silent" is removed.
bool GetSilentOptionFromCommandLine(QString& cmd);
// "/printer=NAME": the value ends before the next "/" (printer names hold none).
QString GetPrinterOptionFromCommandLine(QString& cmd);
// "/batchjob=PATH": the value ends before the next marker that counts, else at the end.
QString GetDataFileFromCommandLine(QString& cmd);
// The file entries of what is left: split at "/file=" markers, text before the first one
// dropped, the whole text one entry when it holds no marker. Empty text gives no entries.
FileCollection GetFilesFromCommandLine(const QString& cmd);

// True when the command line asks for a silent run, by the same marker rule.
bool HasSilentOption(const QString& commandLine);
// True when any of the four markers counts in the command line.
bool HasClassicOption(const QString& commandLine);

// Job files and batch lists larger than this are refused unread.
inline constexpr qint64 kMaxJobFileBytes = 64 << 20;

// What reading a job file or batch list found besides its drawings.
struct JobFileNotes {
    FileIdentity identity;  // the file as it was read
    QString problem;        // why it gave no drawings ("line 3: ..."); empty when none was found
    int unreadableEntries = 0;  // entries that name no drawing the reader can take
    QStringList reasons;        // why, for the first few of them
    bool reported = false;      // the file could not be read, and a message said why
};

// "2 entries of FILE could not be read: " and the reasons noted; empty when every entry was read.
QString UnreadableEntriesText(const QString& file, const JobFileNotes& notes);

// Batch list: comma-separated drawing paths; a piece in double quotes is taken as it stands
// (commas, line ends and "" for a quote included). A missing file gives an empty collection.
FileCollection GetFilesFromCSVDataFile(const QString& path, JobFileNotes* notes = nullptr);
// Job file: XML with the root PlenBatchPrintJob and PlenBatchPrintItem elements. A missing
// file gives an empty collection; a document with another root (or no XML) gives none.
// `deleteWhenComplete`, when given, is set to whether the root asks for the job file to be
// deleted once its drawings are printed (the batch window does that, JobDeletions).
FileCollection GetFilesFromXMLDataFile(const QString& path, bool* deleteWhenComplete = nullptr,
                                       JobFileNotes* notes = nullptr);
// Start-up: reads the start request (startup/start_request.h), and the job file it names, into
// the run request. A job file's DeleteJobFileWhenComplete is noted in jobFileToDelete; an
// entry "/silent" (a classic /file=/silent) asks for a silent run and is no drawing.
RunRequest ReadRunRequest(const StartRequest& request);

}  // namespace pbp
