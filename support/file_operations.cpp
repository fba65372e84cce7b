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

void writeAll(QFileDevice& file, const QByteArray& bytes, const QString& fileName) {
    if (file.write(bytes) != bytes.size()) fail(file, fileName);
}

}  // namespace

void OpenRegularFileForReading(QFile& file) {
    const QString fileName = file.fileName();
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        throw VbError(errnum::kPathFileAccess, fileName + QStringLiteral(": not a regular file"));
    if (!file.open(QIODevice::ReadOnly)) fail(file, fileName);
}

QString PathInFolder(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
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
        OpenRegularFileForReading(file);
        QStringDecoder decoder(QStringDecoder::Utf8);
        // Read until a read gives nothing: the size a file reports can overstate its data
        // (kernel attribute files, a file cut short meanwhile), so atEnd() may never come.
        for (;;) {
            const QByteArray chunk = file.read(1 << 20);
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
