// The job-file reader (XML) on any file content.

#include "startup/mod_main.h"
#include "tests/fuzz/fuzz_target.h"

PLEN_FUZZ_TARGET(job_file) {
    pbp::fuzz::prepare();
    pbp::GetFilesFromXMLDataFile(pbp::fuzz::writeInputFile(data, size, QStringLiteral("job.xml")));
    return 0;
}
