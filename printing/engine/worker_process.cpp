#include "printing/engine/worker_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "printing/engine/engine_errors.h"

extern char** environ;

namespace pbp::visio {

namespace {

// A worker that closed its socket is given this long to end by itself before it is killed.
constexpr auto kEndingGrace = std::chrono::seconds(2);

[[noreturn]] void cannotStart(const QString& program, int error) {
    throw VbError(engine_error::kWorkerFailed,
                  QStringLiteral("the drawing reader %1 could not be started: %2")
                      .arg(quotedPath(program), QString::fromLocal8Bit(std::strerror(error))));
}

QString describe(int status) {
    if (WIFSIGNALED(status)) return QStringLiteral("signal %1").arg(WTERMSIG(status));
    if (WIFEXITED(status) && WEXITSTATUS(status) == worker::kOutOfMemoryExit)
        return QStringLiteral("out of memory");
    if (WIFEXITED(status) && WEXITSTATUS(status) == worker::kNoSandboxExit)
        return QStringLiteral("its sandbox could not be set up");
    return QStringLiteral("exit code %1").arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

}  // namespace

std::vector<QByteArray> workerEnvironment() {
    std::vector<QByteArray> environment;
    for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            environment.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(runtime));
    }
    return environment;
}

WorkerProcess::WorkerProcess(const WorkerSettings& settings,
                             const std::vector<QByteArray>& environment) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0)
        cannotStart(settings.program, errno);
    // The worker's end must not already be the descriptor it is moved to, or it would keep
    // its close-on-exec flag.
    const int theirs = ::fcntl(pair[1], F_DUPFD_CLOEXEC, worker::kSocketFd + 1);
    ::close(pair[1]);
    if (theirs < 0) {
        ::close(pair[0]);
        cannotStart(settings.program, errno);
    }

    const QByteArray program = QFile::encodeName(settings.program);
    const QByteArray memory = "--memory-limit-mib=" + QByteArray::number(settings.memoryLimitMiB);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(memory.constData()),
                    nullptr};
    std::vector<char*> envp;
    for (const QByteArray& entry : environment) envp.push_back(const_cast<char*>(entry.data()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs, worker::kSocketFd);
    // Standard output carries a silent run's report; a worker writes nothing there.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int spawned =
        ::posix_spawn(&pid_, program.constData(), &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(theirs);
    if (spawned != 0) {
        ::close(pair[0]);
        pid_ = -1;
        cannotStart(settings.program, spawned);
    }
    socket_ = pair[0];
}

WorkerProcess::~WorkerProcess() {
    kill();
}

bool WorkerProcess::send(const QByteArray& frame) {
    used_ = true;
    return socket_ >= 0 && worker::sendFrame(socket_, frame);
}

worker::ReceiveEnd WorkerProcess::receive(std::chrono::steady_clock::time_point deadline,
                                          worker::Message& message) {
    if (socket_ < 0) return worker::ReceiveEnd::Closed;
    return worker::receiveMessage(socket_, deadline, message);
}

std::optional<QString> WorkerProcess::reap() {
    closeSocket();
    if (pid_ <= 0) return std::nullopt;
    int status = 0;
    pid_t ended = 0;
    // A worker whose socket closed has usually ended already (it crashed, or ran out of
    // memory); it is given a moment, then killed.
    const auto giveUp = std::chrono::steady_clock::now() + kEndingGrace;
    while ((ended = ::waitpid(pid_, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (ended != pid_) {
        kill();
        return std::nullopt;
    }
    pid_ = -1;
    return describe(status);
}

void WorkerProcess::kill() {
    closeSocket();
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

void WorkerProcess::closeSocket() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
}

}  // namespace pbp::visio
