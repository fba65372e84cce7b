#pragma once

#include <QStringList>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "printing/engine/drawing_file.h"
#include "printing/engine/sheet_plan.h"
#include "printing/engine/worker_process.h"
#include "support/file_identity.h"
#include "support/vb_error.h"

namespace pbp::visio {

// One worker per processor, at most eight; the default bounds.
WorkerSettings defaultWorkerSettings(const QString& program);

// How far reading ahead may go: drawings read ahead or under way, and bytes of PDF they hold.
struct ReadAheadLimits {
    int drawings = 32;
    qint64 pdfBytes = 64 << 20;
};

// The drawing workers of one engine, used from one thread.
//
// Expected drawings are read ahead by every idle worker: the next ones the program will open
// first, in order, then the largest files among those waiting, so that a large drawing late in
// the list does not leave the other workers idle at the end of the run. With a print plan the
// worker also paints the planned sheets at once and forgets the drawing, so that it is free for
// the next one while the program is still busy with earlier drawings. A drawing opened without
// a read ahead, or printed otherwise than planned, is read by a worker that keeps it until it
// is closed. A worker that crashes, outlives the time limit, runs out of memory or answers
// nonsense fails that one drawing with error kDrawingReaderFailed and is replaced. A wait for a
// drawing ends as soon as the run is asked to stop (run_stop.h): its worker is ended and the
// call throws engine_error::kRunStopped.
class WorkerPool {
  public:
    explicit WorkerPool(WorkerSettings settings, ReadAheadLimits limits = {});
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The drawings about to be opened, in order, and how they will likely be printed.
    void expect(const QStringList& paths, const std::optional<PlanOptions>& plan);

    // An opened drawing: the ticket that names it to print and close, its pages and what the
    // renderer could not draw.
    struct Opened {
        quint64 ticket = 0;
        std::vector<DrawingPage> pages;
        QStringList notes;
    };
    // Opens the drawing, from a read ahead when there is one and the file is unchanged since it
    // began. Throws VbError as loading a drawing does, or with kDrawingReaderFailed.
    Opened open(const QString& path);
    // The PDF of the planned sheets: the one painted ahead when it was painted to the same plan,
    // else painted now by a worker that holds the drawing.
    QByteArray print(quint64 ticket, const SheetPlan& plan);
    // Forgets the drawing and frees its worker.
    void close(quint64 ticket);
    // Forgets the expected drawings and ends every worker.
    void stop();

  private:
    struct Slot;
    // A drawing given to a worker: read ahead (queued, under way or done) or to be kept.
    struct Read {
        QString path;
        qint64 fileBytes = 0;  // when it was expected: larger drawings are started first
        bool keep = false;
        FileIdentity identity;
        Slot* slot = nullptr;    // while under way
        Slot* holder = nullptr;  // the worker that kept it
        bool done = false;
        std::optional<worker::OpenedDrawing> result;
        std::optional<VbError> error;
    };
    enum class State { Idle, Reading, Holding };
    struct Slot {
        std::unique_ptr<WorkerProcess> process;
        State state = State::Idle;
        // While Reading: the drawing under way first, then at most one more waiting in the
        // worker's socket, so that the worker never waits for the program between drawings.
        std::deque<std::shared_ptr<Read>> reads;
        std::chrono::steady_clock::time_point deadline;  // of the first read
    };
    struct Held {
        QString path;
        Slot* slot = nullptr;  // the worker keeping the drawing, if any
        std::optional<SheetPlan> painted;
        QByteArray pdf;
    };
    enum class Doing { Reading, Printing };

    Slot* idleSlot(bool extra);
    Slot* busySlot();
    Slot* queueSlot();
    bool start(Slot& slot, const std::shared_ptr<Read>& read);
    void collect(Slot& slot);
    void pump(const std::shared_ptr<Read>& read, std::chrono::milliseconds wait);
    worker::OpenedDrawing keepDrawing(Held& held);
    VbError failure(Slot& slot, worker::ReceiveEnd end, Doing doing);
    void abandon(Read& read);
    void release(Slot& slot);
    void dropReadsAhead();
    void refill();
    std::vector<std::shared_ptr<Read>> readsToStart() const;
    void dispatch();

    const WorkerSettings settings_;
    const ReadAheadLimits limits_;
    const std::vector<QByteArray> environment_;  // as it was when the engine was made
    std::vector<std::unique_ptr<Slot>> slots_;
    std::deque<QString> expected_;                  // not yet among the reads
    std::deque<std::shared_ptr<Read>> readsAhead_;  // in expected order
    std::optional<PlanOptions> plan_;
    std::map<quint64, Held> held_;
    quint64 lastTicket_ = 0;
};

}  // namespace pbp::visio
