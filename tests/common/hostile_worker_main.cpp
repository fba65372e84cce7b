// The drawing worker with hooks for tests: a drawing file whose content begins with one of the
// markers below makes it misbehave while reading, deterministically, the way a drawing that
// trips a fault in a parser would; a drawing that holds "PLEN-TEST-PRINT-HANG" never finishes
// painting for a Print. Only tests run this program.

#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <vector>

#include "printing/engine/engine_errors.h"
#include "printing/engine/worker_protocol.h"
#include "printing/engine/worker_service.h"

namespace {

// Tries what a reader taken over by a drawing would try, and what each attempt got: a
// connection, a program, a process, a tracer, a written file, the descriptor named
// "inherited" beside the drawing that the program left open.
QString escape(const QString& path) {
    const auto outcome = [](const char* what, long result) {
        return QStringLiteral("%1: %2").arg(
            QLatin1String(what),
            result >= 0 ? QStringLiteral("done") : QString::fromLocal8Bit(strerror(errno)));
    };
    QStringList report;
    report << outcome("network", socket(AF_INET, SOCK_STREAM, 0))
           << outcome("local socket", socket(AF_UNIX, SOCK_STREAM, 0));
    char* const argv[] = {const_cast<char*>("/bin/true"), nullptr};
    report << outcome("program", execve(argv[0], argv, environ));
    const pid_t child = fork();
    if (child == 0) _exit(0);
    report << outcome("process", child)
           << outcome("tracer", ptrace(PTRACE_TRACEME, 0, nullptr, nullptr))
           << outcome("write", open(QFile::encodeName(path + QStringLiteral(".written")),
                                    O_WRONLY | O_CREAT, 0600));
    const QString inherited = QFileInfo(path).dir().filePath(QStringLiteral("inherited"));
    bool open = false;
    for (int fd = 0; fd < 1024; ++fd)
        open |= QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd)) == inherited;
    report << QStringLiteral("inherited: %1").arg(open ? "open" : "closed");
    return report.join(QStringLiteral(", "));
}

void misbehave(const QString& path, pbp::visio::worker::Step step) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray start = file.read(4096);
    if (step == pbp::visio::worker::Step::Printing) {
        if (start.contains("PLEN-TEST-PRINT-HANG"))
            for (;;) pause();
        return;
    }
    if (start.startsWith("PLEN-TEST-CRASH")) {
        raise(SIGSEGV);
    } else if (start.startsWith("PLEN-TEST-HANG")) {
        for (;;) pause();
    } else if (start.startsWith("PLEN-TEST-HOG")) {
        // Allocates and touches memory until the memory limit stops it.
        std::vector<char*> blocks;
        for (;;) {
            blocks.push_back(new char[64 << 20]);
            std::memset(blocks.back(), 1, 64 << 20);
        }
    } else if (start.startsWith("PLEN-TEST-BABBLE")) {
        const char nonsense[] = "\x07\x00\x00\x00\xff\xff\xff\xff this is no answer";
        write(pbp::visio::worker::kSocketFd, nonsense, sizeof nonsense);
        for (;;) pause();
    } else if (start.startsWith("PLEN-TEST-ESCAPE")) {
        throw pbp::VbError(pbp::visio::engine_error::kBadFormat, escape(path));
    } else if (start.startsWith("PLEN-TEST-PID")) {
        // Which process reads the drawing.
        throw pbp::VbError(pbp::visio::engine_error::kBadFormat, QString::number(getpid()));
    } else if (start.startsWith("PLEN-TEST-WHEN")) {
        // When the reading began, on the clock all processes share.
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        throw pbp::VbError(pbp::visio::engine_error::kBadFormat,
                           QString::number(qint64(now.tv_sec) * 1000000000 + now.tv_nsec));
    }
}

}  // namespace

int main(int argc, char** argv) {
    return pbp::visio::worker::runWorker(argc, argv, misbehave);
}
