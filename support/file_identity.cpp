#include "support/file_identity.h"

#include <sys/stat.h>

#include <QFile>

namespace pbp {

namespace {
FileIdentity identityOf(const struct stat& info) {
    return {qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            quint64(info.st_dev), quint64(info.st_ino)};
}
}  // namespace

FileIdentity fileIdentity(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return identityOf(info);
}

FileIdentity fileIdentityOf(int fd) {
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) return {};
    return identityOf(info);
}

}  // namespace pbp
