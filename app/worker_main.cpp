#include "printing/engine/worker_service.h"

// jemalloc's settings for the worker. Drawings are read in processes that end after a share of
// them, so handing freed pages back to the system while one runs (madvise on a decay timer,
// from a background thread) only costs time: the pages go back when the process ends.
extern "C" {
const char* malloc_conf = "background_thread:false,dirty_decay_ms:-1,muzzy_decay_ms:-1";
}

int main(int argc, char** argv) {
    return pbp::visio::worker::runWorker(argc, argv);
}
