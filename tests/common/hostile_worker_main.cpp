// The drawing worker with hooks for tests: a drawing file whose content begins with one of the
// markers below makes it misbehave while reading, deterministically, the way a drawing that
// trips a fault in a parser would; a drawing that holds "PLEN-TEST-PRINT-HANG" never finishes
// painting for a Print. Only tests run this program.

#include <signal.h>
#include <unistd.h>

#include <QFile>
#include <cstring>
#include <vector>

#include "printing/engine/worker_protocol.h"
#include "printing/engine/worker_service.h"

namespace {

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
    }
}

}  // namespace

int main(int argc, char** argv) {
    return pbp::visio::worker::runWorker(argc, argv, misbehave);
}
