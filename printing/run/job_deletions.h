#pragma once

#include <QString>
#include <map>
#include <vector>

#include "printing/run/entry_outcome.h"
#include "support/file_collection.h"
#include "support/file_identity.h"

namespace pbp {

// The deletions a job file asks for, done only for what was printed: the job file itself
// (DeleteJobFileWhenComplete) once every one of its entries has been sent to the printer, and
// the drawings marked Delete="true" once they were sent. An entry counts as sent when a run
// sent as many list entries with its path as the job file names it; a file is deleted only
// while it is still the file that was read (job file) or printed (drawing), and standard error
// says why a file stays.
class JobDeletions {
  public:
    JobDeletions() = default;
    // `jobFile` is the job file to delete when complete, `jobIdentity` that file as it was
    // read; `jobFile` is empty when it did not ask.
    JobDeletions(const FileCollection& files, QString jobFile, FileIdentity jobIdentity);

    // Notes what a run sent. Deletes the job file once every job entry has been sent;
    // otherwise, or when deleting fails, standard error says why the job file stays.
    void afterRun(const std::vector<EntryOutcome>& outcomes);

    // Deletes the marked drawings that were sent and are unchanged since; standard error says
    // why any other stays.
    void deleteSentMarkedDrawings();

  private:
    // What runs sent of one path: the most entries one run sent, and the file as printed
    // (unset when runs printed different versions of it).
    struct Sent {
        int entries = 0;
        FileIdentity identity;
    };
    bool sentAsOftenAsNamed(const QString& path) const;

    std::vector<cPrintFile> entries_;
    std::map<QString, Sent> sent_;
    QString jobFile_;
    FileIdentity jobIdentity_;
};

}  // namespace pbp
