#include "printing/run/job_deletions.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <set>

#include "support/escaped_text.h"

namespace pbp {

namespace {
void tellStandardError(const QString& text) {
    std::fputs((QStringLiteral("PlenBatchPrint: ") + text + QLatin1Char('\n')).toUtf8().constData(),
               stderr);
}

// A path as standard error shows it: escaped, so that it stays on its line.
QString shown(const QString& path) {
    return EscapedText(path);
}
}  // namespace

JobDeletions::JobDeletions(const FileCollection& files, QString jobFile, FileIdentity jobIdentity)
    : jobFile_(std::move(jobFile)), jobIdentity_(jobIdentity) {
    if (!files) return;
    for (const FileItem& item : *files)
        if (const auto* entry = std::get_if<cPrintFile>(&item)) entries_.push_back(*entry);
}

bool JobDeletions::sentAsOftenAsNamed(const QString& path) const {
    const auto found = sent_.find(path);
    const auto named =
        std::count_if(entries_.begin(), entries_.end(),
                      [&](const cPrintFile& entry) { return entry.FileName == path; });
    return found != sent_.end() && found->second.entries >= named;
}

void JobDeletions::afterRun(const std::vector<EntryOutcome>& outcomes) {
    std::map<QString, Sent> run;
    for (const EntryOutcome& outcome : outcomes) {
        if (outcome.result != EntryResult::Sent) continue;
        Sent& sent = run[outcome.path];
        if (sent.entries++ == 0)
            sent.identity = outcome.identity;
        else if (!(sent.identity == outcome.identity))
            sent.identity = {};
    }
    for (const auto& [path, sent] : run) {
        const auto [earlier, first] = sent_.try_emplace(path, sent);
        if (first) continue;
        earlier->second.entries = std::max(earlier->second.entries, sent.entries);
        if (!(earlier->second.identity == sent.identity)) earlier->second.identity = {};
    }
    if (jobFile_.isEmpty()) return;
    const auto notSent = std::count_if(entries_.begin(), entries_.end(), [&](const auto& entry) {
        return !sentAsOftenAsNamed(entry.FileName);
    });
    if (notSent > 0) {
        tellStandardError(
            QStringLiteral("the job file %1 was kept: %2 of its %3 drawing(s) were not sent to "
                           "the printer.")
                .arg(shown(jobFile_))
                .arg(notSent)
                .arg(entries_.size()));
        return;
    }
    if (!(fileIdentity(jobFile_) == jobIdentity_)) {
        tellStandardError(
            QStringLiteral("the job file %1 was kept: it was replaced or changed after it was "
                           "read.")
                .arg(shown(jobFile_)));
        jobFile_.clear();
        return;
    }
    QFile job(jobFile_);
    if (!job.remove())
        tellStandardError(QStringLiteral("the job file %1 could not be deleted: %2")
                              .arg(shown(jobFile_), job.errorString()));
    jobFile_.clear();
}

void JobDeletions::deleteSentMarkedDrawings() {
    std::set<QString> done;
    for (const cPrintFile& entry : entries_) {
        if (!entry.Delete || !done.insert(entry.FileName).second) continue;
        const auto sent = sent_.find(entry.FileName);
        if (sent == sent_.end()) continue;
        QString why;
        if (!sentAsOftenAsNamed(entry.FileName))
            why = QStringLiteral("not every entry naming it was sent to the printer");
        else if (sent->second.identity == FileIdentity{} ||
                 !(fileIdentity(entry.FileName) == sent->second.identity))
            why = QStringLiteral("it was changed after it was printed");
        if (why.isEmpty())
            QFile::remove(entry.FileName);
        else if (QFile::exists(entry.FileName))
            tellStandardError(
                QStringLiteral("the drawing %1 was kept: %2.").arg(shown(entry.FileName), why));
    }
}

}  // namespace pbp
