#include "printing/engine/worker_pool.h"

#include <poll.h>

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "printing/engine/engine_errors.h"
#include "printing/engine/run_stop.h"

namespace pbp::visio {

namespace {

constexpr int kMaxDefaultWorkers = 8;
// A new worker's first drawing may also wait for the worker to start (fonts, libraries).
constexpr auto kStartAllowance = std::chrono::seconds(5);
using Clock = std::chrono::steady_clock;

QString memoryText(qint64 mib) {
    return mib % 1024 == 0 ? QStringLiteral("%1 GiB").arg(mib / 1024)
                           : QStringLiteral("%1 MiB").arg(mib);
}

VbError runStopped() {
    return VbError(engine_error::kRunStopped, QStringLiteral("the run was cancelled"));
}

// Waits until the worker has something to say or its deadline has passed; false when the run
// is asked to stop first.
bool answerOrDeadline(const WorkerProcess& process, Clock::time_point deadline) {
    pollfd watched[2] = {{process.socket(), POLLIN, 0}, {run_stop::descriptor(), POLLIN, 0}};
    while (!run_stop::requested()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return true;
        const int ready = ::poll(watched, 2, int(std::min<long long>(left.count(), 1 << 30)));
        if ((ready < 0 && errno != EINTR) || watched[0].revents != 0) return true;
    }
    return false;
}

}  // namespace

WorkerSettings defaultWorkerSettings(const QString& program) {
    WorkerSettings settings;
    settings.program = program;
    settings.workers =
        int(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(kMaxDefaultWorkers)));
    return settings;
}

WorkerPool::WorkerPool(WorkerSettings settings, ReadAheadLimits limits)
    : settings_(std::move(settings)), limits_(limits), environment_(workerEnvironment()) {}

WorkerPool::~WorkerPool() {
    stop();
}

void WorkerPool::expect(const QStringList& paths, const std::optional<PlanOptions>& plan) {
    dropReadsAhead();
    expected_.assign(paths.begin(), paths.end());
    plan_ = plan;
    dispatch();
}

// An idle slot; a new one while there are fewer than the workers wanted, or with `extra`.
WorkerPool::Slot* WorkerPool::idleSlot(bool extra) {
    for (const auto& slot : slots_)
        if (slot->state == State::Idle) return slot.get();
    if (!extra && int(slots_.size()) >= settings_.workers) return nullptr;
    slots_.push_back(std::make_unique<Slot>());
    return slots_.back().get();
}

// Gives the read to the slot's worker, starting one when needed, behind the read it may be busy
// with. False when a busy worker has ended (its drawing's answer will say why); throws VbError
// when no worker can be started.
bool WorkerPool::start(Slot& slot, const std::shared_ptr<Read>& read) {
    const worker::OpenOrder order{read->path, read->keep, read->keep ? std::nullopt : plan_};
    read->identity = fileIdentity(read->path);
    for (int attempt = 0;; ++attempt) {
        if (!slot.process) slot.process = std::make_unique<WorkerProcess>(settings_, environment_);
        const bool fresh = slot.process->fresh();
        if (slot.process->send(worker::openFrame(order))) {
            if (slot.reads.empty())
                slot.deadline = Clock::now() + settings_.timeLimit +
                                (fresh ? kStartAllowance : std::chrono::seconds(0));
            break;
        }
        if (!slot.reads.empty()) return false;
        // The worker ended while it waited; a new one reads the drawing.
        slot.process.reset();
        if (attempt > 0)
            throw VbError(engine_error::kWorkerFailed,
                          QStringLiteral("the drawing reader ended before it was given the "
                                         "drawing"));
    }
    slot.state = State::Reading;
    slot.reads.push_back(read);
    read->slot = &slot;
    return true;
}

// Takes the answer of a worker that has one, or whose deadline passed.
void WorkerPool::collect(Slot& slot) {
    const std::shared_ptr<Read> read = slot.reads.front();
    slot.reads.pop_front();
    read->slot = nullptr;
    read->done = true;
    slot.state = slot.reads.empty() ? State::Idle : State::Reading;
    worker::Message message;
    const worker::ReceiveEnd end = slot.process->receive(slot.deadline, message);
    if (end != worker::ReceiveEnd::Message) {
        read->error = failure(slot, end, Doing::Reading);
        return;
    }
    // The worker goes on with the next read at once.
    slot.deadline = Clock::now() + settings_.timeLimit;
    try {
        if (message.kind == worker::Kind::Opened) {
            read->result = worker::readOpened(message.body);
            if (read->keep) {
                slot.state = State::Holding;
                read->holder = &slot;
            }
        } else if (message.kind == worker::Kind::Failed) {
            const auto [number, description] = worker::readFailed(message.body);
            read->error = VbError(number, description);
        } else {
            throw worker::Garbage();
        }
    } catch (const worker::Garbage&) {
        read->result.reset();
        read->holder = nullptr;
        read->error = failure(slot, worker::ReceiveEnd::Garbage, Doing::Reading);
    }
}

// Waits for the workers, taking every answer that comes, until `read` is done or, without
// one, once for at most `wait`.
void WorkerPool::pump(const std::shared_ptr<Read>& read, std::chrono::milliseconds wait) {
    do {
        dispatch();
        if (read && !read->done && !read->slot) {
            // Not expected, or dropped from the reads ahead: it gets an idle worker, or one of
            // its own. A drawing to be kept rather waits behind a worker's reads ahead (a
            // drawing's time is far shorter than a new worker's start); a read ahead whose
            // worker failed does not wait behind others again.
            Slot* slot = idleSlot(false);
            if (!slot && read->keep) slot = queueSlot();
            if (!slot) slot = idleSlot(true);
            try {
                start(*slot, read);
            } catch (const VbError& error) {
                read->done = true;
                read->error = error;
            }
        }
        if (read && read->done) return;
        std::vector<pollfd> watched;
        std::vector<Slot*> reading;
        auto nearest = Clock::time_point::max();
        for (const auto& slot : slots_) {
            if (slot->state != State::Reading) continue;
            watched.push_back({slot->process->socket(), POLLIN, 0});
            reading.push_back(slot.get());
            nearest = std::min(nearest, slot->deadline);
        }
        if (reading.empty()) return;
        // Waiting for a drawing, the run may be asked to stop: its worker is ended at once.
        if (read) {
            if (run_stop::requested()) {
                abandon(*read);
                throw runStopped();
            }
            watched.push_back({run_stop::descriptor(), POLLIN, 0});
        }
        auto timeout = std::chrono::ceil<std::chrono::milliseconds>(nearest - Clock::now());
        if (!read) timeout = std::min(timeout, wait);
        const int ready = ::poll(watched.data(), nfds_t(watched.size()),
                                 int(std::clamp<long long>(timeout.count(), 0, 1 << 30)));
        if (ready < 0 && errno == EINTR) continue;
        const auto now = Clock::now();
        for (size_t i = 0; i < reading.size(); ++i)
            if (watched[i].revents != 0 || reading[i]->deadline <= now) collect(*reading[i]);
    } while (read);
    dispatch();
}

VbError WorkerPool::failure(Slot& slot, worker::ReceiveEnd end, Doing doing) {
    const bool reading = doing == Doing::Reading;
    const QString verb = reading ? QStringLiteral("read") : QStringLiteral("print");
    const QString activity = reading ? QStringLiteral("reading") : QStringLiteral("printing");
    QString description;
    if (end == worker::ReceiveEnd::TimedOut) {
        slot.process->kill();
        description = QStringLiteral("the drawing took longer than %1 s to %2")
                          .arg(settings_.timeLimit.count())
                          .arg(verb);
    } else if (end == worker::ReceiveEnd::Garbage) {
        slot.process->kill();
        description = QStringLiteral("%1 the drawing made the reader send nonsense").arg(activity);
    } else {
        const std::optional<QString> how = slot.process->reap();
        if (how == QLatin1String("out of memory"))
            description = QStringLiteral("the drawing needed more than %1 of memory to %2")
                              .arg(memoryText(settings_.memoryLimitMiB), verb);
        else
            description = QStringLiteral("%1 the drawing stopped the reader (%2)")
                              .arg(activity, how.value_or(QStringLiteral("no answer")));
    }
    release(slot);
    return VbError(engine_error::kWorkerFailed, description);
}

// Reads the drawing in a worker that keeps it; returns its pages.
worker::OpenedDrawing WorkerPool::keepDrawing(Held& held) {
    auto read = std::make_shared<Read>();
    read->path = held.path;
    read->keep = true;
    pump(read, {});
    if (read->error) throw *read->error;
    held.slot = read->holder;
    return std::move(*read->result);
}

WorkerPool::Opened WorkerPool::open(const QString& path) {
    Held held;
    held.path = path;
    worker::OpenedDrawing read;
    bool readAhead = false;
    const auto found = std::find_if(readsAhead_.begin(), readsAhead_.end(),
                                    [&](const auto& candidate) { return candidate->path == path; });
    const auto expected = std::find(expected_.begin(), expected_.end(), path);
    if (found != readsAhead_.end()) {
        const std::shared_ptr<Read> ahead = *found;
        // Opened out of order: the reads before it are of no use now.
        for (auto before = readsAhead_.begin(); before != found; ++before) abandon(**before);
        readsAhead_.erase(readsAhead_.begin(), found + 1);
        pump(ahead, {});
        if (ahead->error) throw *ahead->error;
        if (fileIdentity(path) == ahead->identity) {
            read = std::move(*ahead->result);
            held.painted = std::move(read.printed);
            held.pdf = std::move(read.pdf);
            readAhead = true;
        }
    } else if (expected != expected_.end()) {
        expected_.erase(expected_.begin(), expected + 1);
        dropReadsAhead();
    }
    // Not read ahead, or the file changed after the read began: it is read as it is now.
    if (!readAhead) read = keepDrawing(held);
    const quint64 ticket = ++lastTicket_;
    held_.emplace(ticket, std::move(held));
    pump(nullptr, std::chrono::milliseconds(0));
    return {ticket, std::move(read.pages), std::move(read.notes)};
}

QByteArray WorkerPool::print(quint64 ticket, const SheetPlan& plan) {
    const auto found = held_.find(ticket);
    if (found == held_.end())
        throw VbError(engine_error::kObjectClosed, QStringLiteral("The drawing is not open."));
    Held& held = found->second;
    if (held.painted && *held.painted == plan) return held.pdf;
    if (!held.slot) keepDrawing(held);
    Slot& slot = *held.slot;
    slot.deadline = Clock::now() + settings_.timeLimit;
    worker::Message message;
    const bool sent = slot.process->send(worker::printFrame(plan));
    if (sent && !answerOrDeadline(*slot.process, slot.deadline)) {
        held.slot = nullptr;
        release(slot);
        throw runStopped();
    }
    const worker::ReceiveEnd end =
        sent ? slot.process->receive(slot.deadline, message) : worker::ReceiveEnd::Closed;
    try {
        if (end != worker::ReceiveEnd::Message) {
            held.slot = nullptr;
            throw failure(slot, end, Doing::Printing);
        }
        if (message.kind == worker::Kind::Printed) return worker::readPrinted(message.body);
        if (message.kind != worker::Kind::Failed) throw worker::Garbage();
        const auto [number, description] = worker::readFailed(message.body);
        throw VbError(number, description);
    } catch (const worker::Garbage&) {
        held.slot = nullptr;
        throw failure(slot, worker::ReceiveEnd::Garbage, Doing::Printing);
    }
}

void WorkerPool::close(quint64 ticket) {
    const auto found = held_.find(ticket);
    if (found == held_.end()) return;
    if (Slot* slot = found->second.slot) {
        slot->state = State::Idle;
        if (!slot->process->send(worker::closeFrame())) slot->process.reset();
    }
    held_.erase(found);
    // Workers started for drawings opened beyond the reads ahead go again when idle.
    for (auto slot = slots_.begin();
         slot != slots_.end() && int(slots_.size()) > settings_.workers;)
        slot = (*slot)->state == State::Idle ? slots_.erase(slot) : slot + 1;
    pump(nullptr, std::chrono::milliseconds(0));
}

// Ends the worker reading a drawing nobody will open; its slot gets a new worker.
void WorkerPool::abandon(Read& read) {
    if (read.slot) release(*read.slot);
}

// Ends the slot's worker; the reads waiting behind its drawing go to other workers.
void WorkerPool::release(Slot& slot) {
    slot.process.reset();
    slot.state = State::Idle;
    for (const auto& read : slot.reads) read->slot = nullptr;
    slot.reads.clear();
}

void WorkerPool::dropReadsAhead() {
    for (const auto& read : readsAhead_) abandon(*read);
    readsAhead_.clear();
}

// Moves expected drawings into the reads ahead while the limits allow, always at least one.
void WorkerPool::refill() {
    qint64 bytes = 0;
    for (const auto& read : readsAhead_)
        if (read->result) bytes += read->result->pdf.size();
    while (!expected_.empty() && int(readsAhead_.size()) < limits_.drawings &&
           (readsAhead_.empty() || bytes < limits_.pdfBytes)) {
        auto read = std::make_shared<Read>();
        read->path = expected_.front();
        read->fileBytes = QFileInfo(read->path).size();
        expected_.pop_front();
        readsAhead_.push_back(std::move(read));
    }
}

// The reads ahead not yet given to a worker, in the order they are given: the next ones the
// program will open (as many as there are workers, so that each drawing it waits for is always
// under way or next in a worker's socket), then the others largest file first. The time a run
// takes beyond its processors' work is the last drawings': started early, a large one does not
// keep one worker busy at the end while the others have nothing left.
std::vector<std::shared_ptr<WorkerPool::Read>> WorkerPool::readsToStart() const {
    std::vector<std::shared_ptr<Read>> first, rest;
    int next = 0;
    for (const auto& read : readsAhead_) {
        if (read->done) continue;
        const bool waitedFor = next++ < settings_.workers;
        if (!read->slot) (waitedFor ? first : rest).push_back(read);
    }
    std::stable_sort(rest.begin(), rest.end(),
                     [](const auto& a, const auto& b) { return a->fileBytes > b->fileBytes; });
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

// Gives reads ahead to idle workers, then one more to each worker reading one (readsToStart
// says which first). A read no worker can be started for fails with why.
void WorkerPool::dispatch() {
    refill();
    for (const auto& read : readsToStart()) {
        Slot* slot = idleSlot(false);
        if (!slot) slot = busySlot();
        if (!slot) return;
        try {
            if (!start(*slot, read)) return;
        } catch (const VbError& error) {
            read->done = true;
            read->error = error;
        }
    }
}

// A worker reading one drawing ahead and nothing after it.
WorkerPool::Slot* WorkerPool::busySlot() {
    for (const auto& slot : slots_)
        if (slot->state == State::Reading && slot->reads.size() == 1 && !slot->reads.front()->keep)
            return slot.get();
    return nullptr;
}

// The worker reading ahead with the fewest drawings waiting, none of them to be kept.
WorkerPool::Slot* WorkerPool::queueSlot() {
    Slot* shortest = nullptr;
    for (const auto& slot : slots_) {
        if (slot->state != State::Reading ||
            std::any_of(slot->reads.begin(), slot->reads.end(),
                        [](const auto& read) { return read->keep; }))
            continue;
        if (!shortest || slot->reads.size() < shortest->reads.size()) shortest = slot.get();
    }
    return shortest;
}

void WorkerPool::stop() {
    held_.clear();
    readsAhead_.clear();
    expected_.clear();
    slots_.clear();
}

}  // namespace pbp::visio
