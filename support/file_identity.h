#pragma once

// Header only, the library pbp_file_identity: the drawing engine uses it without the support
// library.

#include <sys/stat.h>

#include <QFile>
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

    static FileIdentity of(const struct stat& info) {
        return {qint64(info.st_size),
                qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
                quint64(info.st_dev), quint64(info.st_ino)};
    }
};

// The identity of the file at `path` now (following symbolic links).
inline FileIdentity fileIdentity(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return FileIdentity::of(info);
}

// The identity of the open file `fd`.
inline FileIdentity fileIdentityOf(int fd) {
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) return {};
    return FileIdentity::of(info);
}

}  // namespace pbp
