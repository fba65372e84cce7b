#pragma once

#include <QString>

namespace pbp {

// Hands a document path or web address to the desktop's default handler (platform().urls).
// Answers as the Windows shell did: greater than 32 on success (33), 31 when no handler took
// it, 2 for an empty target or a local file that does not exist, 0 when no handler is
// installed at all.
qint32 ShellOpen(const QString& target);

// ShellOpen for callers that report a failed opening: throws VbError with the shell's answer
// as its number and a description naming the target.
void ShellOpenOrFail(const QString& target);

}  // namespace pbp
