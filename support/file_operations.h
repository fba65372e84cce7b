#pragma once

#include <QByteArrayView>
#include <QString>

class QFile;
class QFileDevice;

namespace pbp {

// True when the last four characters of the file name (the whole name when shorter) equal the
// extension, ignoring letter case. Serves four-character extensions such as ".vsd".
bool IsValidExtension(const QString& fileName, const QString& extension);

// Writes the text as UTF-8 bytes (no byte-order mark, no line end) into the file. With
// overwrite the text goes to a temporary file in the same folder that then replaces the
// target, so the file ends up holding exactly the text or, on failure, stays as it was.
// Without overwrite the bytes are written over the start of the file and any longer old
// content stays behind them. Reports a failure and answers false.
bool WriteTextToFileAsBinary(const QString& fileName, const QString& text, bool overwrite);

// The whole file as text (UTF-8, a leading byte-order mark dropped), line ends included.
// Reports a failure and answers what was read before it, normally the empty text.
QString ReadFromTextFile(const QString& fileName);

// Writes all of `bytes` to the open file and flushes it; false with the file's error set when
// that fails. A write the system cuts short (a full disk, a file size limit) is carried on with
// the rest, so that the error names the real cause ("No space left on device") where Qt alone
// would report "Unknown error".
bool WriteAllBytes(QFileDevice& file, QByteArrayView bytes);

// Opens the file for reading; throws a VbError naming the file when it is missing, is not a
// regular file (a folder, a pipe or a device, which could block or never end) or cannot be
// opened.
void OpenRegularFileForReading(QFile& file);

}  // namespace pbp
