#include "printing/printers/pdf_folder_printer.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "support/file_operations.h"
#include "support/vb_error.h"

namespace pbp::printers {

namespace {

constexpr int kMaxNameBytes = 200;
constexpr int kMaxSuffix = 100000;

// The number each name was last saved with in this process, so that a run of many drawings of
// one name tries the next free number at once instead of counting up from " (2)" each time.
// Names below it are taken or were, and are never reused; claiming a name stays exclusive.
std::mutex g_lastNumbersMutex;
QHash<QString, int> g_lastNumbers;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

VbError folderError(const QString& folder, const QString& reason) {
    return VbError(
        errnum::kPathFileAccess,
        QStringLiteral("Cannot write into the PDF folder \"%1\": %2").arg(folder, reason));
}

QString cutToUtf8Bytes(const QString& text, int maxBytes) {
    QString cut;
    int bytes = 0;
    for (int i = 0; i < text.size(); ++i) {
        const int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        bytes += character.toUtf8().size();
        if (bytes > maxBytes) break;
        cut += character;
        i += length - 1;
    }
    return cut;
}

// The process's file mode creation mask, read without changing it (Linux 4.7 and later say it
// in /proc); where that fails, read by setting it and putting it back at once.
mode_t creationMask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:")) continue;
            bool ok = false;
            const int mask = line.mid(6).trimmed().toInt(&ok, 8);
            if (ok) return mode_t(mask);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// Writes the document into a hidden temporary file in the folder, readable and writable as the
// user's umask allows a new file to be (a temporary file is made 0600 whatever the umask). It is
// not synced to disk: like a spool file, a printed PDF can be printed again, and a sync per
// document costs a run of hundreds of drawings a noticeable part of its time.
void writeTemporaryCopy(const QByteArray& pdf, const QString& folder, QTemporaryFile& copy) {
    copy.setFileTemplate(folder + QStringLiteral("/.plenbatchprint-XXXXXX.part"));
    if (!copy.open()) throw folderError(folder, copy.errorString());
    if (!WriteAllBytes(copy, pdf)) throw folderError(folder, copy.errorString());
    if (::fchmod(copy.handle(), 0666 & ~creationMask()) != 0)
        throw folderError(folder, systemError());
}

// Gives the temporary file its final name unless that name exists; false when it does.
bool claimName(const QString& temporaryPath, const QString& target, QTemporaryFile& copy) {
    const QByteArray from = QFile::encodeName(temporaryPath);
    const QByteArray to = QFile::encodeName(target);
    if (::link(from.constData(), to.constData()) == 0) return true;
    if (errno == EEXIST) return false;
    // Some file systems have no hard links; renaming without replacing is as safe there.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        copy.setAutoRemove(false);
        return true;
    }
    if (errno == EEXIST) return false;
    throw folderError(QFileInfo(target).path(), systemError());
}

}  // namespace

QString pdfOutputFolder() {
    const QString configured = qEnvironmentVariable("PLENBATCHPRINT_PDF_DIR");
    return configured.isEmpty() ? QDir::homePath() + QStringLiteral("/PDF") : configured;
}

QPageSize pdfPrinterPaper() {
    return QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                         ? QPageSize::Letter
                         : QPageSize::A4);
}

std::vector<PrinterOption> pdfPrinterOptions() {
    PrinterOption media{QStringLiteral("media")};
    media.choices = {QStringLiteral("iso_a4_210x297mm"),  QStringLiteral("iso_a3_297x420mm"),
                     QStringLiteral("iso_a5_148x210mm"),  QStringLiteral("na_letter_8.5x11in"),
                     QStringLiteral("na_legal_8.5x14in"), QStringLiteral("na_ledger_11x17in")};
    media.defaultChoice =
        pdfPrinterPaper().id() == QPageSize::Letter ? media.choices.at(3) : media.choices.at(0);
    return {media};
}

QString pdfBaseNameForTitle(const QString& title) {
    QString name;
    for (const QChar c : title) {
        const bool unsafe = c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7f;
        name += unsafe ? QLatin1Char('_') : c;
    }
    name = name.trimmed();
    for (int i = 0; i < name.size() && name.at(i) == QLatin1Char('.'); ++i)
        name[i] = QLatin1Char('_');
    name = cutToUtf8Bytes(name, kMaxNameBytes).trimmed();
    return name.isEmpty() ? QStringLiteral("document") : name;
}

QString savePdfInFolder(const QByteArray& pdf, const QString& title, const QString& folder) {
    if (!QDir().mkpath(folder))
        throw folderError(folder, QStringLiteral("the folder cannot be created"));
    QTemporaryFile copy;
    writeTemporaryCopy(pdf, folder, copy);
    const QString baseName = QDir(folder).filePath(pdfBaseNameForTitle(title));
    const std::lock_guard lock(g_lastNumbersMutex);
    int& last = g_lastNumbers[baseName];
    for (int number = last + 1; number <= kMaxSuffix; ++number) {
        const QString target = number == 1 ? baseName + QStringLiteral(".pdf")
                                           : baseName + QStringLiteral(" (%1).pdf").arg(number);
        if (claimName(copy.fileName(), target, copy)) {
            last = number;
            return target;
        }
    }
    throw folderError(folder, QStringLiteral("too many files named after \"%1\"").arg(title));
}

}  // namespace pbp::printers
