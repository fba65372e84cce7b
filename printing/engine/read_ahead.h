#pragma once

#include <QStringList>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "printing/engine/drawing_file.h"

namespace pbp::visio {

// Which version of a file a read saw; all unset when the file cannot be examined.
struct FileIdentity {
    qint64 size = -1;
    qint64 modifiedNs = -1;
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity fileIdentity(const QString& path);

// How far reading ahead may go: how many worker threads parse at once, and how many drawings,
// and how many bytes of drawing files, may wait ready or under way before they are opened.
struct ReadAheadLimits {
    int workers = 2;
    int drawings = 32;
    qint64 bytes = 64 << 20;
};
// One worker per processor, at least one and at most four.
ReadAheadLimits defaultReadAheadLimits();

// Loads the drawings about to be opened on a few worker threads, in order, so that parsing the
// next drawings overlaps printing this one and one slow drawing does not hold up the others. A
// drawing read ahead is used only when its file is unchanged since the read began; otherwise it
// is loaded again.
class ReadAhead {
  public:
    explicit ReadAhead(ReadAheadLimits limits = defaultReadAheadLimits());
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The drawings about to be opened, in order; replaces any earlier list.
    void expect(const QStringList& paths);
    // The drawing at `path`, from a read ahead when there is one, else loaded now. Throws as
    // loadDrawingFile does.
    DrawingFile take(const QString& path);
    // Forgets the drawings expected and waits for the parses under way (one per worker at most).
    void stop();

  private:
    struct Read {
        QString path;
        qint64 bytes = 0;
        bool started = false;
        bool done = false;
        FileIdentity identity;
        std::optional<DrawingFile> file;
        std::exception_ptr error;
    };
    void queueReads();
    std::shared_ptr<Read> nextUnstarted() const;
    void work();
    static void load(Read& read);

    const ReadAheadLimits limits_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QString> expected_;
    std::deque<std::shared_ptr<Read>> reads_;
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

}  // namespace pbp::visio
