#include "printing/engine/worker_pool.h"

#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <thread>

#include "printing/engine/engine_errors.h"

namespace pbp::visio {

namespace {

constexpr int kMaxDefaultWorkers = 8;
// A new worker's first drawing may also wait for the worker to start (fonts, libraries).
constexpr auto kStartAllowance = std::chrono::seconds(5);

QString memoryText(qint64 mib) {
    return mib % 1024 == 0 ? QStringLiteral("%1 GiB").arg(mib / 1024)
                           : QStringLiteral("%1 MiB").arg(mib);
}

}  // namespace

FileIdentity fileIdentity(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return {qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            quint64(info.st_dev), quint64(info.st_ino)};
}

WorkerSettings defaultWorkerSettings(const QString& program) {
    WorkerSettings settings;
    settings.program = program;
    settings.workers =
        int(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(kMaxDefaultWorkers)));
    return settings;
}

WorkerPool::WorkerPool(WorkerSettings settings)
    : settings_(std::move(settings)), environment_(workerEnvironment()) {}

WorkerPool::~WorkerPool() {
    stop();
}

void WorkerPool::expect(const QStringList& paths) {
    dropReads();
    expected_.assign(paths.begin(), paths.end());
    dispatch();
}

WorkerPool::Slot* WorkerPool::readingSlot(const QString& path) {
    for (const auto& slot : slots_)
        if (slot->state == State::Reading && slot->path == path) return slot.get();
    return nullptr;
}

// An idle slot, with a worker; a drawing opened without being expected, while every worker is
// busy, gets a worker of its own for as long as it is open.
WorkerPool::Slot& WorkerPool::freeSlot() {
    auto idle = std::find_if(slots_.begin(), slots_.end(),
                             [](const auto& slot) { return slot->state == State::Idle; });
    if (idle == slots_.end()) idle = slots_.insert(slots_.end(), std::make_unique<Slot>());
    Slot& slot = **idle;
    if (!slot.process) slot.process = std::make_unique<WorkerProcess>(settings_, environment_);
    return slot;
}

void WorkerPool::startRead(Slot& slot, const QString& path) {
    slot.path = path;
    slot.identity = fileIdentity(path);
    slot.state = State::Reading;
    slot.deadline = std::chrono::steady_clock::now() + settings_.timeLimit +
                    (slot.process->fresh() ? kStartAllowance : std::chrono::seconds(0));
    if (slot.process->send(worker::openFrame(path))) return;
    // The worker ended while it waited (it is killed with its drawing's failure otherwise);
    // a new one reads the drawing.
    slot.process->kill();
    slot.process = std::make_unique<WorkerProcess>(settings_, environment_);
    slot.deadline += kStartAllowance;
    if (!slot.process->send(worker::openFrame(path)))
        fail(slot, worker::ReceiveEnd::Closed, Doing::Reading);
}

worker::Message WorkerPool::await(Slot& slot, Doing doing) {
    worker::Message message;
    const worker::ReceiveEnd end = slot.process->receive(slot.deadline, message);
    if (end != worker::ReceiveEnd::Message) fail(slot, end, doing);
    return message;
}

std::vector<DrawingPage> WorkerPool::awaitOpened(Slot& slot) {
    const worker::Message message = await(slot, Doing::Reading);
    try {
        if (message.kind == worker::Kind::Opened) return worker::readOpened(message.body);
        if (message.kind != worker::Kind::Failed) throw worker::Garbage();
        const auto [number, description] = worker::readFailed(message.body);
        slot.state = State::Idle;
        throw VbError(number, description);
    } catch (const worker::Garbage&) {
        fail(slot, worker::ReceiveEnd::Garbage, Doing::Reading);
    }
}

void WorkerPool::fail(Slot& slot, worker::ReceiveEnd end, Doing doing) {
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
    slot.process.reset();
    slot.state = State::Idle;
    throw VbError(engine_error::kWorkerFailed, description);
}

WorkerPool::Opened WorkerPool::open(const QString& path) {
    try {
        Slot* slot = readingSlot(path);
        if (!slot) {
            const auto expected = std::find(expected_.begin(), expected_.end(), path);
            if (expected != expected_.end()) {
                // Opened out of order: the reads before it are of no use now.
                expected_.erase(expected_.begin(), expected + 1);
                dropReads();
            }
            slot = &freeSlot();
            startRead(*slot, path);
        }
        std::vector<DrawingPage> pages = awaitOpened(*slot);
        if (fileIdentity(path) != slot->identity) {
            // The file changed after the read began: it is read again as it is now.
            startRead(*slot, path);
            pages = awaitOpened(*slot);
        }
        slot->state = State::Holding;
        slot->ticket = ++lastTicket_;
        dispatch();
        return {slot->ticket, std::move(pages)};
    } catch (...) {
        dispatch();
        throw;
    }
}

QByteArray WorkerPool::print(quint64 ticket, const worker::PrintOrder& order) {
    const auto found = std::find_if(slots_.begin(), slots_.end(), [&](const auto& slot) {
        return slot->state == State::Holding && slot->ticket == ticket;
    });
    if (found == slots_.end())
        throw VbError(engine_error::kObjectClosed, QStringLiteral("The drawing is not open."));
    Slot& slot = **found;
    slot.deadline = std::chrono::steady_clock::now() + settings_.timeLimit;
    if (!slot.process->send(worker::printFrame(order)))
        fail(slot, worker::ReceiveEnd::Closed, Doing::Printing);
    const worker::Message message = await(slot, Doing::Printing);
    try {
        if (message.kind == worker::Kind::Printed) return worker::readPrinted(message.body);
        if (message.kind != worker::Kind::Failed) throw worker::Garbage();
        const auto [number, description] = worker::readFailed(message.body);
        throw VbError(number, description);
    } catch (const worker::Garbage&) {
        fail(slot, worker::ReceiveEnd::Garbage, Doing::Printing);
    }
}

void WorkerPool::close(quint64 ticket) {
    const auto found = std::find_if(slots_.begin(), slots_.end(), [&](const auto& slot) {
        return slot->state == State::Holding && slot->ticket == ticket;
    });
    if (found == slots_.end()) return;
    Slot& slot = **found;
    slot.state = State::Idle;
    if (!slot.process->send(worker::closeFrame())) slot.process.reset();
    if (int(slots_.size()) > settings_.workers) slots_.erase(found);
    dispatch();
}

// Ends the workers reading drawings nobody will open; their slots get new workers.
void WorkerPool::dropReads() {
    for (const auto& slot : slots_) {
        if (slot->state != State::Reading) continue;
        slot->process.reset();
        slot->state = State::Idle;
    }
}

// Gives idle workers the next expected drawings. A worker that cannot be started leaves its
// drawing expected; opening it then reports why.
void WorkerPool::dispatch() {
    while (!expected_.empty()) {
        auto idle = std::find_if(slots_.begin(), slots_.end(),
                                 [](const auto& slot) { return slot->state == State::Idle; });
        if (idle == slots_.end()) {
            if (int(slots_.size()) >= settings_.workers) return;
            idle = slots_.insert(slots_.end(), std::make_unique<Slot>());
        }
        Slot& slot = **idle;
        try {
            if (!slot.process)
                slot.process = std::make_unique<WorkerProcess>(settings_, environment_);
            startRead(slot, expected_.front());
        } catch (const VbError&) {
            slot.state = State::Idle;
            return;
        }
        expected_.pop_front();
    }
}

void WorkerPool::stop() {
    expected_.clear();
    slots_.clear();
}

}  // namespace pbp::visio
