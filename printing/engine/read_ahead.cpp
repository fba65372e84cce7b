#include "printing/engine/read_ahead.h"

#include <libxml/parser.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <system_error>

#include "printing/engine/render/font_substitution.h"

namespace pbp::visio {

namespace {
constexpr int kWorkerNice = 10;
}  // namespace

FileIdentity fileIdentity(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return {qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            quint64(info.st_dev), quint64(info.st_ino)};
}

ReadAheadLimits defaultReadAheadLimits() {
    ReadAheadLimits limits;
    limits.workers = int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    return limits;
}

ReadAhead::ReadAhead(ReadAheadLimits limits) : limits_(limits) {}

ReadAhead::~ReadAhead() {
    stop();
}

void ReadAhead::expect(const QStringList& paths) {
    stop();
    // libxml2 must be set up on the main thread before threads parse with it; the font database
    // is loaded here too rather than by whichever thread first asks it for a family.
    xmlInitParser();
    render::printFontFamily(QString());
    {
        std::lock_guard lock(mutex_);
        expected_.assign(paths.begin(), paths.end());
        queueReads();
    }
    try {
        while (int(workers_.size()) < limits_.workers) workers_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // No thread to spare: the reads nobody starts are loaded when they are opened.
    }
}

// Moves expected drawings into the reads while the limits allow, always at least one.
void ReadAhead::queueReads() {
    qint64 bytes = 0;
    for (const auto& read : reads_) bytes += read->bytes;
    while (!expected_.empty() && int(reads_.size()) < limits_.drawings) {
        const qint64 size = std::max<qint64>(0, fileIdentity(expected_.front()).size);
        if (!reads_.empty() && bytes + size > limits_.bytes) break;
        auto read = std::make_shared<Read>();
        read->path = expected_.front();
        read->bytes = size;
        bytes += size;
        reads_.push_back(std::move(read));
        expected_.pop_front();
    }
    changed_.notify_all();
}

std::shared_ptr<ReadAhead::Read> ReadAhead::nextUnstarted() const {
    const auto next =
        std::find_if(reads_.begin(), reads_.end(), [](const auto& read) { return !read->started; });
    return next == reads_.end() ? nullptr : *next;
}

void ReadAhead::load(Read& read) {
    read.identity = fileIdentity(read.path);
    try {
        read.file = loadDrawingFile(read.path);
    } catch (...) {
        read.error = std::current_exception();
    }
}

void ReadAhead::work() {
    // Reading ahead fills the time the printing thread leaves: a lower priority for this thread
    // (on Linux the nice value is per thread) keeps the printing thread, and a window's thread,
    // from waiting for a processor behind work that is only ahead of them.
    setpriority(PRIO_PROCESS, gettid(), kWorkerNice);
    std::unique_lock lock(mutex_);
    for (;;) {
        std::shared_ptr<Read> read;
        changed_.wait(lock, [&] { return stopping_ || (read = nextUnstarted()); });
        if (stopping_) return;
        read->started = true;
        lock.unlock();
        load(*read);
        lock.lock();
        read->done = true;
        changed_.notify_all();
    }
}

DrawingFile ReadAhead::take(const QString& path) {
    std::unique_lock lock(mutex_);
    const auto found = std::find_if(reads_.begin(), reads_.end(),
                                    [&](const auto& read) { return read->path == path; });
    if (found == reads_.end()) {
        const auto expected = std::find(expected_.begin(), expected_.end(), path);
        if (expected != expected_.end()) {
            // Opened out of order: the reads before it are of no use now.
            reads_.clear();
            expected_.erase(expected_.begin(), expected + 1);
        }
        queueReads();
        lock.unlock();
        return loadDrawingFile(path);
    }
    const std::shared_ptr<Read> read = *found;
    reads_.erase(reads_.begin(), found + 1);
    queueReads();
    if (!read->started) {
        // No worker has reached it yet: loading it here is sooner than waiting for one.
        read->started = true;
        lock.unlock();
        load(*read);
    } else {
        changed_.wait(lock, [&] { return read->done; });
        lock.unlock();
    }
    if (fileIdentity(path) != read->identity) return loadDrawingFile(path);
    if (read->error) std::rethrow_exception(read->error);
    return std::move(*read->file);
}

void ReadAhead::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        expected_.clear();
        reads_.clear();
        changed_.notify_all();
    }
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
    std::lock_guard lock(mutex_);
    stopping_ = false;
}

}  // namespace pbp::visio
