#include "support/file_operations.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "support/error_handling.h"

namespace pbp {

namespace {

const QString kModule = QStringLiteral("modFileOperations");

// Error numbers of the file statements the reports have always carried.

qint32 numberFor(QFileDevice::FileError error) {
    switch (error) {
        case QFileDevice::PermissionsError:
            return errnum::kPermissionDenied;
        case QFileDevice::ReadError:
        case QFileDevice::WriteError:
        case QFileDevice::ResourceError:
            return errnum::kDeviceIo;
        default:
            return errnum::kPathFileAccess;
    }
}

[[noreturn]] void fail(const QFileDevice& file, const QString& fileName) {
    if (!QFile::exists(fileName))
        throw VbError(errnum::kFileNotFound, QStringLiteral("File not found: ") + fileName);
    throw VbError(numberFor(file.error()), fileName + QStringLiteral(": ") + file.errorString());
}

// A failed write or commit, with the file's own reason (the file itself may not exist yet).
[[noreturn]] void failWriting(const QFileDevice& file, const QString& fileName) {
    throw VbError(numberFor(file.error()), fileName + QStringLiteral(": ") + file.errorString());
}

void writeAll(QFileDevice& file, const QByteArray& bytes, const QString& fileName) {
    if (!WriteAllBytes(file, bytes)) failWriting(file, fileName);
}

}  // namespace

bool WriteAllBytes(QFileDevice& file, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes.data(), bytes.size());
        if (written <= 0) return false;
        bytes = bytes.sliced(written);
    }
    // A flush cut short leaves the rest buffered: flushing again writes it or fails with the
    // system's reason.
    for (qint64 pending = file.bytesToWrite(); !file.flush();) {
        const qint64 left = file.bytesToWrite();
        if (left == 0 || left >= pending) return false;
        pending = left;
    }
    return true;
}

void OpenRegularFileForReading(QFile& file) {
    const QString fileName = file.fileName();
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        throw VbError(errnum::kPathFileAccess, fileName + QStringLiteral(": not a regular file"));
    if (!file.open(QIODevice::ReadOnly)) fail(file, fileName);
}

bool IsValidExtension(const QString& fileName, const QString& extension) {
    bool valid = false;
    Guarded(kModule, QStringLiteral("IsValidExtension"),
            [&] { valid = fileName.right(4).compare(extension, Qt::CaseInsensitive) == 0; });
    return valid;
}

bool WriteTextToFileAsBinary(const QString& fileName, const QString& text, bool overwrite) {
    if (fileName.isEmpty()) return false;
    return Guarded(kModule, QStringLiteral("WriteTextToFileAsBinary"), [&] {
        const QByteArray bytes = text.toUtf8();
        if (overwrite) {
            QSaveFile file(fileName);
            if (!file.open(QIODevice::WriteOnly)) fail(file, fileName);
            writeAll(file, bytes, fileName);
            if (!file.commit()) failWriting(file, fileName);
            return;
        }
        QFile file(fileName);
        if (!file.open(QIODevice::ReadWrite)) fail(file, fileName);
        writeAll(file, bytes, fileName);
    });
}

QString ReadFromTextFile(const QString& fileName) {
    QString text;
    Guarded(kModule, QStringLiteral("ReadFromTextFile"), [&] {
        QFile file(fileName);
        OpenRegularFileForReading(file);
        QStringDecoder decoder(QStringDecoder::Utf8);
        // Read until a read gives nothing: the size a file reports can overstate its data
        // (kernel attribute files, a file cut short meanwhile), so atEnd() may never come.
        for (;;) {
            const QByteArray chunk = file.read(1 << 16);
            if (chunk.isEmpty()) {
                if (file.error() != QFileDevice::NoError) fail(file, fileName);
                break;
            }
            text += decoder.decode(chunk);
        }
    });
    return text;
}

}  // namespace pbp
