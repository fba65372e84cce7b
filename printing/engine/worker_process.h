#pragma once

#include <sys/types.h>

#include <QString>
#include <chrono>
#include <optional>
#include <vector>

#include "printing/engine/worker_protocol.h"

namespace pbp::visio {

// How drawing workers are run: the program, how many read and paint at once, and the bounds
// each drawing gets.
struct WorkerSettings {
    QString program;  // the worker executable
    int workers = 2;
    std::chrono::seconds timeLimit{60};  // to read a drawing, and to print a sheet range
    qint64 memoryLimitMiB = 2048;        // address space of a worker
};

// The program's environment as workers get it. Without XDG_RUNTIME_DIR each worker would make
// a runtime folder of its own under TMPDIR and leave it there; they share the program's.
std::vector<QByteArray> workerEnvironment();

// One worker process and its end of the socket. Destroying it kills and reaps the process.
class WorkerProcess {
  public:
    // Starts the worker; throws VbError when the program cannot be started.
    WorkerProcess(const WorkerSettings& settings, const std::vector<QByteArray>& environment);
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    // False when the worker is gone.
    bool send(const QByteArray& frame);
    // The program's end of the socket, to wait for answers from several workers at once.
    int socket() const { return socket_; }
    // True until the first message is sent: the worker may still be starting.
    bool fresh() const { return !used_; }
    worker::ReceiveEnd receive(std::chrono::steady_clock::time_point deadline,
                               worker::Message& message);
    // After its socket closed: reaps the worker and says how it ended ("signal 11", "out of
    // memory", "exit code 3"); kills it and says nothing when it does not end by itself.
    std::optional<QString> reap();
    // Kills and reaps the worker.
    void kill();

  private:
    void closeSocket();

    pid_t pid_ = -1;
    int socket_ = -1;
    bool used_ = false;
};

}  // namespace pbp::visio
