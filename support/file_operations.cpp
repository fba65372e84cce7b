#include "support/file_operations.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include "support/error_handling.h"

namespace pbp {

namespace {

const QString kModule = QStringLiteral("modFileOperations");

// Error numbers of the file statements the reports have always carried.
constexpr qint32 kFileNotFound = 53;
constexpr qint32 kPermissionDenied = 70;
constexpr qint32 kPathFileAccessError = 75;
constexpr qint32 kDeviceIoError = 57;

qint32 numberFor(QFileDevice::FileError error) {
    switch (error) {
        case QFileDevice::PermissionsError:
            return kPermissionDenied;
        case QFileDevice::ReadError:
        case QFileDevice::WriteError:
        case QFileDevice::ResourceError:
            return kDeviceIoError;
        default:
            return kPathFileAccessError;
    }
}

[[noreturn]] void fail(const QFileDevice& file, const QString& fileName) {
    if (!QFile::exists(fileName))
        throw VbError(kFileNotFound, QStringLiteral("File not found: ") + fileName);
    throw VbError(numberFor(file.error()), fileName + QStringLiteral(": ") + file.errorString());
}

void writeAll(QFileDevice& file, const QByteArray& bytes, const QString& fileName) {
    if (file.write(bytes) != bytes.size()) fail(file, fileName);
}

}  // namespace

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
            if (!file.commit()) fail(file, fileName);
            return;
        }
        QFile file(fileName);
        if (!file.open(QIODevice::ReadWrite)) fail(file, fileName);
        writeAll(file, bytes, fileName);
        if (!file.flush()) fail(file, fileName);
    });
}

QString ReadFromTextFile(const QString& fileName) {
    QString text;
    Guarded(kModule, QStringLiteral("ReadFromTextFile"), [&] {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) fail(file, fileName);
        QStringDecoder decoder(QStringDecoder::Utf8);
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(1 << 20);
            if (chunk.isEmpty() && file.error() != QFileDevice::NoError) fail(file, fileName);
            text += decoder.decode(chunk);
        }
    });
    return text;
}

}  // namespace pbp
