#pragma once

#include <QStringList>
#include <deque>
#include <future>

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

// Loads the drawings about to be opened on worker threads, at most `depth` ahead of the one being
// opened, so that parsing the next drawings overlaps printing this one. A drawing read ahead is
// used only when its file is unchanged since the read began; otherwise it is loaded again.
class ReadAhead {
  public:
    explicit ReadAhead(int depth = 2);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The drawings about to be opened, in order; replaces any earlier list.
    void expect(const QStringList& paths);
    // The drawing at `path`, from a read ahead when one is under way, else loaded now. Throws as
    // loadDrawingFile does.
    DrawingFile take(const QString& path);
    // Forgets the drawings expected and waits for the reads under way.
    void stop();

  private:
    struct Read {
        QString path;
        FileIdentity identity;
        std::future<DrawingFile> result;
    };
    void startReads();

    int depth_;
    std::deque<QString> expected_;
    std::deque<Read> reads_;
};

}  // namespace pbp::visio
