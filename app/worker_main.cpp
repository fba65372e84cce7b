#include "printing/engine/worker_service.h"

// jemalloc's settings for the worker. A worker reads drawing after drawing, each reusing the
// memory the last one freed, so handing freed pages back to the system on a decay timer
// (madvise, or from a background thread) only costs time during a run; an idle worker purges
// nothing either way, and the pages go back when it ends with the engine.
extern "C" {
const char* malloc_conf = "background_thread:false,dirty_decay_ms:-1,muzzy_decay_ms:-1";
}

int main(int argc, char** argv) {
    return pbp::visio::worker::runWorker(argc, argv);
}
