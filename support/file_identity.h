#pragma once

#include <QString>

namespace pbp {

// Which version of a file was seen: device, inode, size and modification time. All unset when
// the file cannot be examined, and such an identity never equals that of a file.
struct FileIdentity {
    qint64 size = -1;
    qint64 modifiedNs = -1;
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path` now (following symbolic links).
FileIdentity fileIdentity(const QString& path);
// The identity of the open file `fd`.
FileIdentity fileIdentityOf(int fd);

}  // namespace pbp
