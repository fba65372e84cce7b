#include <jemalloc/jemalloc.h>

#include <cstdint>
#include <string>

#include "printing/engine/worker_service.h"

// jemalloc's settings for the worker. A worker reads drawing after drawing, each reusing the
// memory the last one freed, so handing freed pages back to the system on a decay timer
// (madvise, or from a background thread) only costs time during a run; the pages go back when
// the worker ends with the engine, or between drawings once too many have gathered (below).
// Huge pages for its memory cut the page faults and address misses of parsing: about a tenth
// less processor time for about 15 MiB more memory per worker.
extern "C" {
const char* malloc_conf = "background_thread:false,dirty_decay_ms:-1,muzzy_decay_ms:-1,thp:always";
}

namespace {

// Freed pages kept for the next drawings beyond this are handed back before a drawing is read.
// A drawing of the shared test set leaves 40 to 47 MiB of them, which the next one reuses;
// drawings of different sizes leave freed runs that later ones cannot always reuse, so without
// a bound a worker's memory grows with the number of drawings it has read (71 to 123 MiB after
// 1,000). A bound just above a typical drawing's (48 MiB) handed pages back after every larger
// drawing, and the next drawing faulted them all in again: a tenth of a run's processor time.
constexpr std::uint64_t kKeptFreedBytes = 64 << 20;

void handBackFreedPages() {
    std::uint64_t epoch = 1;
    size_t size = sizeof epoch;
    // The statistics are a snapshot, taken anew on each new epoch.
    mallctl("epoch", &epoch, &size, &epoch, size);
    const std::string all = std::to_string(MALLCTL_ARENAS_ALL);
    size_t dirtyPages = 0;
    size = sizeof dirtyPages;
    if (mallctl(("stats.arenas." + all + ".pdirty").c_str(), &dirtyPages, &size, nullptr, 0) != 0)
        return;
    size_t pageBytes = 0;
    size = sizeof pageBytes;
    if (mallctl("arenas.page", &pageBytes, &size, nullptr, 0) != 0) return;
    if (std::uint64_t(dirtyPages) * pageBytes <= kKeptFreedBytes) return;
    mallctl(("arena." + all + ".purge").c_str(), nullptr, nullptr, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
    using pbp::visio::worker::Step;
    return pbp::visio::worker::runWorker(argc, argv, [](const QString&, Step step) {
        if (step == Step::Reading) handBackFreedPages();
    });
}
