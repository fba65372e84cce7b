#pragma once

#include <QStringList>
#include <chrono>
#include <deque>
#include <memory>
#include <vector>

#include "printing/engine/drawing_file.h"
#include "printing/engine/worker_process.h"

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

// One worker per processor, at most eight; the default bounds.
WorkerSettings defaultWorkerSettings(const QString& program);

// The drawing workers of one engine. Each worker holds at most one drawing: it reads it (ahead,
// when the drawing is expected), keeps it while it is open and paints its sheets. A worker
// that crashes, outlives the time limit, runs out of memory or answers nonsense fails that one
// drawing with error kDrawingReaderFailed and is replaced. Used from one thread only.
class WorkerPool {
  public:
    explicit WorkerPool(WorkerSettings settings);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The drawings about to be opened, in order; idle workers start reading them at once.
    void expect(const QStringList& paths);

    // An opened drawing: the ticket that names it to print and close, and its pages.
    struct Opened {
        quint64 ticket = 0;
        std::vector<DrawingPage> pages;
    };
    // Opens the drawing in a worker, from a read ahead when there is one and the file is
    // unchanged since it began. Throws VbError as loading a drawing does, or with
    // kDrawingReaderFailed when its worker failed.
    Opened open(const QString& path);
    // The PDF of the sheets `order` asks for, painted by the drawing's worker.
    QByteArray print(quint64 ticket, const worker::PrintOrder& order);
    // Forgets the drawing; its worker takes the next expected drawing.
    void close(quint64 ticket);
    // Forgets the expected drawings and ends every worker.
    void stop();

  private:
    enum class State { Idle, Reading, Holding };
    struct Slot {
        std::unique_ptr<WorkerProcess> process;
        State state = State::Idle;
        QString path;
        FileIdentity identity;
        std::chrono::steady_clock::time_point deadline;
        quint64 ticket = 0;
    };
    enum class Doing { Reading, Printing };

    Slot* readingSlot(const QString& path);
    Slot& freeSlot();
    void startRead(Slot& slot, const QString& path);
    std::vector<DrawingPage> awaitOpened(Slot& slot);
    worker::Message await(Slot& slot, Doing doing);
    [[noreturn]] void fail(Slot& slot, worker::ReceiveEnd end, Doing doing);
    void dropReads();
    void dispatch();

    const WorkerSettings settings_;
    const std::vector<QByteArray> environment_;  // as it was when the engine was made
    std::vector<std::unique_ptr<Slot>> slots_;
    std::deque<QString> expected_;
    quint64 lastTicket_ = 0;
};

}  // namespace pbp::visio
