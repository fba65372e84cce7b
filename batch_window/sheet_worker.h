#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "printing/engine/worker_process.h"
#include "printing/engine/worker_protocol.h"

class QSocketNotifier;

namespace pbp {

// A drawing worker that answers Preview orders for the window without ever making it wait: an
// order is sent when the worker is free, and an order asked for while another is under way
// replaces any other still waiting, so only the latest is painted next. A worker that crashes,
// answers nonsense or outlives the time limit is ended and its order fails with the reason; the
// next order starts a new worker. A drawing that holds the worker for more than a second is
// given up, without an answer, as soon as another drawing is asked for.
class SheetWorker : public QObject {
    Q_OBJECT

  public:
    using Settings = std::function<visio::WorkerSettings()>;
    explicit SheetWorker(Settings settings, QObject* parent = nullptr);
    ~SheetWorker() override;

    void ask(const visio::worker::PreviewOrder& order);
    // True while an order is under way or waiting.
    bool busy() const { return current_ || next_; }
    // False once the worker program could not be started.
    bool available() const { return available_; }

  signals:
    void answered(const visio::worker::PreviewOrder& order, const visio::SheetPreview& preview);
    void failed(const visio::worker::PreviewOrder& order, const QString& reason);

  private:
    void sendNext();
    void receive();
    void end(const QString& reason);

    Settings settings_;
    std::unique_ptr<visio::WorkerProcess> process_;
    QSocketNotifier* readable_ = nullptr;
    QTimer deadline_;
    QElapsedTimer sent_;
    std::optional<visio::worker::PreviewOrder> current_;
    std::optional<visio::worker::PreviewOrder> next_;
    int timeLimitSeconds_ = 0;
    qint64 memoryLimitMiB_ = 0;
    bool available_ = true;
};

}  // namespace pbp
