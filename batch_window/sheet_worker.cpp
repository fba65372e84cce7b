#include "batch_window/sheet_worker.h"

#include <QSocketNotifier>
#include <chrono>

namespace pbp {

using visio::worker::Kind;
using visio::worker::Message;
using visio::worker::ReceiveEnd;

namespace {

// A message whose first bytes arrived is read to its end within this time.
constexpr auto kMessageTime = std::chrono::seconds(2);
constexpr std::chrono::milliseconds kGiveUpAfter(1000);

}  // namespace

SheetWorker::SheetWorker(Settings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        end(tr("the drawing took longer than %1 s to read").arg(timeLimitSeconds_));
    });
}

SheetWorker::~SheetWorker() = default;

void SheetWorker::ask(const visio::worker::PreviewOrder& order) {
    next_ = order;
    // A drawing that keeps the worker long is given up when another one is wanted instead.
    if (current_ && current_->path != order.path && sent_.elapsed() > kGiveUpAfter.count()) {
        current_.reset();
        end({});
    }
    if (!current_) sendNext();
}

void SheetWorker::sendNext() {
    if (!next_) return;
    current_ = std::move(next_);
    next_.reset();
    try {
        if (!process_) {
            const visio::WorkerSettings settings = settings_();
            timeLimitSeconds_ = int(settings.timeLimit.count());
            memoryLimitMiB_ = settings.memoryLimitMiB;
            process_ = std::make_unique<visio::WorkerProcess>(settings, visio::workerEnvironment());
            readable_ = new QSocketNotifier(process_->socket(), QSocketNotifier::Read, this);
            connect(readable_, &QSocketNotifier::activated, this, &SheetWorker::receive);
        }
    } catch (const VbError& error) {
        available_ = false;
        const visio::worker::PreviewOrder order = *current_;
        current_.reset();
        emit failed(order, error.description());
        sendNext();
        return;
    }
    sent_.start();
    // A fresh worker may take a moment to start before it reads.
    deadline_.start(std::chrono::seconds(timeLimitSeconds_ + (process_->fresh() ? 5 : 0)));
    if (!process_->send(visio::worker::previewFrame(*current_)))
        end(tr("reading the drawing stopped the reader"));
}

void SheetWorker::receive() {
    Message message;
    const ReceiveEnd received =
        process_->receive(std::chrono::steady_clock::now() + kMessageTime, message);
    if (received == ReceiveEnd::Closed) {
        const std::optional<QString> how = process_->reap();
        if (how == QLatin1String("out of memory"))
            end(tr("the drawing needed more than %1 MiB of memory to read").arg(memoryLimitMiB_));
        else
            end(tr("reading the drawing stopped the reader (%1)")
                    .arg(how.value_or(tr("no answer"))));
        return;
    }
    if (received != ReceiveEnd::Message) {
        end(tr("reading the drawing made the reader send nonsense"));
        return;
    }
    deadline_.stop();
    const visio::worker::PreviewOrder order = *current_;
    current_.reset();
    try {
        if (message.kind == Kind::Previewed) {
            const visio::SheetPreview preview = visio::worker::readPreviewed(message.body);
            emit answered(order, preview);
        } else if (message.kind == Kind::Failed) {
            emit failed(order, visio::worker::readFailed(message.body).second);
        } else {
            throw visio::worker::Garbage();
        }
    } catch (const visio::worker::Garbage&) {
        current_ = order;
        end(tr("reading the drawing made the reader send nonsense"));
        return;
    }
    sendNext();
}

// Ends the worker and fails the order under way.
void SheetWorker::end(const QString& reason) {
    deadline_.stop();
    delete readable_;
    readable_ = nullptr;
    process_.reset();
    if (current_) {
        const visio::worker::PreviewOrder order = *current_;
        current_.reset();
        emit failed(order, reason);
    }
    sendNext();
}

}  // namespace pbp
