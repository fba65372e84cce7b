#include "printing/engine/run_stop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

namespace pbp::run_stop {

namespace {
// Made before main() runs, so that a signal handler never has to make it.
const int g_event = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
std::atomic<bool> g_requested{false};
std::atomic<int> g_signal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);
}  // namespace

void request(int signalNumber) {
    const int savedErrno = errno;
    if (signalNumber != 0) g_signal.store(signalNumber);
    g_requested.store(true);
    const std::uint64_t one = 1;
    if (g_event >= 0) {
        // Nothing to do when it fails: the counter is only full when it was asked many times.
        const ssize_t written = ::write(g_event, &one, sizeof one);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

bool requested() {
    return g_requested.load();
}

int signalNumber() {
    return g_signal.load();
}

int descriptor() {
    return g_event;
}

void clear() {
    std::uint64_t count = 0;
    if (g_event >= 0) {
        // Fails only when nothing was asked: the counter is already empty.
        const ssize_t read = ::read(g_event, &count, sizeof count);
        static_cast<void>(read);
    }
    g_signal.store(0);
    g_requested.store(false);
}

}  // namespace pbp::run_stop
