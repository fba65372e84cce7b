// The batch-list reader (comma-separated drawing paths) on any file content.

#include "startup/mod_main.h"
#include "tests/fuzz/fuzz_target.h"

PLEN_FUZZ_TARGET(batch_list) {
    pbp::fuzz::prepare();
    pbp::GetFilesFromCSVDataFile(pbp::fuzz::writeInputFile(data, size, QStringLiteral("list.txt")));
    return 0;
}
