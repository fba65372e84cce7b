#include "printing/engine/worker_service.h"

int main(int argc, char** argv) {
    return pbp::visio::worker::runWorker(argc, argv);
}
