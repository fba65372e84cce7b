// The classic command-line reader on any text, in the order the start-up reads it.

#include "startup/mod_main.h"
#include "tests/fuzz/fuzz_target.h"

PLEN_FUZZ_TARGET(command_line) {
    pbp::fuzz::prepare();
    QString cmd = QString::fromUtf8(pbp::fuzz::bytes(data, size));
    pbp::HasSilentOption(cmd);
    pbp::GetSilentOptionFromCommandLine(cmd);
    pbp::GetPrinterOptionFromCommandLine(cmd);
    pbp::GetDataFileFromCommandLine(cmd);
    pbp::GetFilesFromCommandLine(cmd);
    return 0;
}
