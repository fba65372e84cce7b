#include "printing/engine/memory_exhaustion.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>

namespace pbp::visio::worker {

namespace {

// Within this much of the limit (or an eighth of it, when larger) a crash counts as the
// allocation that did not fit: a failed allocation is not counted in the address space.
constexpr rlim_t kHeadroomBytes = rlim_t(32) << 20;

rlim_t g_limitBytes = 0;
long g_pageBytes = 4096;
int g_exitCode = 0;

// The process's address space from /proc/self/statm, with async-signal-safe calls only; 0 when
// it cannot be read.
rlim_t addressSpaceBytes() {
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[64];
    const ssize_t got = ::read(fd, text, sizeof(text));
    ::close(fd);
    rlim_t pages = 0;
    for (ssize_t i = 0; i < got && text[i] >= '0' && text[i] <= '9'; ++i)
        pages = pages * 10 + rlim_t(text[i] - '0');
    return pages * rlim_t(g_pageBytes);
}

void onFatalSignal(int signal) {
    const rlim_t headroom = std::max(kHeadroomBytes, g_limitBytes / 8);
    if (addressSpaceBytes() + headroom >= g_limitBytes) ::_exit(g_exitCode);
    // SA_RESETHAND restored the default action: the signal, raised again, ends the process as
    // it would have (it is delivered when the handler returns).
    ::raise(signal);
}

}  // namespace

void TreatCrashesNearTheLimitAsOutOfMemory(rlim_t limitBytes, int exitCode) {
    g_limitBytes = limitBytes;
    g_pageBytes = ::sysconf(_SC_PAGESIZE);
    g_exitCode = exitCode;
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGABRT, SIGSEGV, SIGBUS}) ::sigaction(signal, &action, nullptr);
}

}  // namespace pbp::visio::worker
