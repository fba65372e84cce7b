#pragma once

#include <QString>
#include <set>
#include <vector>

#include "printing/run/entry_outcome.h"
#include "support/file_collection.h"

namespace pbp {

// The deletions a job file asks for, done only for what was printed: the job file itself
// (DeleteJobFileWhenComplete) once every one of its drawings has been sent to the printer, and
// the drawings marked Delete="true" once they were sent. A drawing counts as sent when a run
// sent a list entry with its path, whatever else happened to the list.
class JobDeletions {
  public:
    JobDeletions() = default;
    // `jobFile` is the job file to delete when complete; empty when it did not ask.
    JobDeletions(const FileCollection& files, QString jobFile);

    // Notes what a run sent. Deletes the job file once every job drawing has been sent;
    // otherwise, or when deleting fails, standard error says why the job file stays.
    void afterRun(const std::vector<EntryOutcome>& outcomes);

    // Deletes the marked drawings that were sent; a failure to delete one is ignored.
    void deleteSentMarkedDrawings();

  private:
    std::vector<cPrintFile> entries_;
    std::set<QString> sent_;
    QString jobFile_;
};

}  // namespace pbp
