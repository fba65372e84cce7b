#pragma once

namespace pbp {

// Drops Qt's "QStandardPaths: XDG_RUNTIME_DIR not set" warning, which every start from cron or
// a service prints although the program needs no runtime folder of the session. Every other
// message goes on to Qt's handler as before.
void QuietMissingRuntimeFolderWarning();

}  // namespace pbp
