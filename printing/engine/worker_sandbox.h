#pragma once

#include <QString>
#include <optional>

namespace pbp::visio::worker {

// The drawing worker's confinement, in two steps (docs/reliability.md says what each allows).
//
// First thing in the worker: closes every descriptor but 0, 1, 2 and the socket, turns core
// dumps off and limits the size of the files it may write and the number of descriptors.
void dropInheritedRights();

// Once the worker has loaded what it needs (Qt's platform plugin, the fonts), before it reads
// any drawing: no new privileges, and a seccomp filter that allows only reading files, memory,
// threads and the descriptors the worker already holds; anything else fails with EPERM.
// Returns why it could not, or nothing once the filter is in force.
std::optional<QString> enterSandbox();

}  // namespace pbp::visio::worker
