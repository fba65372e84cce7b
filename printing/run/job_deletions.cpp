#include "printing/run/job_deletions.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

namespace pbp {

namespace {
void tellStandardError(const QString& text) {
    std::fputs((QStringLiteral("PlenBatchPrint: ") + text + QLatin1Char('\n')).toUtf8().constData(),
               stderr);
}
}  // namespace

JobDeletions::JobDeletions(const FileCollection& files, QString jobFile)
    : jobFile_(std::move(jobFile)) {
    if (!files) return;
    for (const FileItem& item : *files)
        if (const auto* entry = std::get_if<cPrintFile>(&item)) entries_.push_back(*entry);
}

void JobDeletions::afterRun(const std::vector<EntryOutcome>& outcomes) {
    for (const EntryOutcome& outcome : outcomes)
        if (outcome.result == EntryResult::Sent) sent_.insert(outcome.path);
    if (jobFile_.isEmpty()) return;
    const auto notSent = std::count_if(entries_.begin(), entries_.end(), [&](const auto& entry) {
        return !sent_.count(entry.FileName);
    });
    if (notSent > 0) {
        tellStandardError(
            QStringLiteral("the job file %1 was kept: %2 of its %3 drawing(s) were not sent to "
                           "the printer.")
                .arg(jobFile_)
                .arg(notSent)
                .arg(entries_.size()));
        return;
    }
    QFile job(jobFile_);
    if (!job.remove())
        tellStandardError(QStringLiteral("the job file %1 could not be deleted: %2")
                              .arg(jobFile_, job.errorString()));
    jobFile_.clear();
}

void JobDeletions::deleteSentMarkedDrawings() {
    for (const cPrintFile& entry : entries_)
        if (entry.Delete && sent_.count(entry.FileName)) QFile::remove(entry.FileName);
}

}  // namespace pbp
