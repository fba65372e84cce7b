#pragma once

#include <QString>

namespace pbp {

// Hands a document path or web address to the desktop's default handler (platform().urls).
// Answers as the Windows shell did: greater than 32 on success (33), 31 when no handler took
// it, 2 for an empty target, 0 when no handler is installed at all.
qint32 ShellOpen(const QString& target);

}  // namespace pbp
