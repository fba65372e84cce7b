#include <array>

#include "startup/mod_main.h"
#include "startup/spaces.h"
#include "support/error_handling.h"

namespace pbp {

namespace {

const QString kModule = QStringLiteral("modMain");
const QString kSilent = QStringLiteral("/silent");
const QString kPrinter = QStringLiteral("/printer=");
const QString kBatchJob = QStringLiteral("/batchjob=");
const QString kFile = QStringLiteral("/file=");

// First position at or after `from` where `marker` begins the text or follows a space.
qsizetype findMarker(QStringView text, QStringView marker, qsizetype from = 0) {
    for (qsizetype i = text.indexOf(marker, from); i >= 0; i = text.indexOf(marker, i + 1)) {
        if (i == 0 || text[i - 1] == u' ') return i;
    }
    return -1;
}

// First position at or after `from` where any of the four markers counts.
qsizetype findAnyMarker(QStringView text, qsizetype from) {
    qsizetype first = -1;
    for (const QString* marker : std::array{&kSilent, &kPrinter, &kBatchJob, &kFile}) {
        const qsizetype at = findMarker(text, *marker, from);
        if (at >= 0 && (first < 0 || at < first)) first = at;
    }
    return first;
}

// The text without every occurrence of `piece` that stands where a marker would count.
QString removeCounting(const QString& text, const QString& piece) {
    QString result;
    result.reserve(text.size());
    qsizetype copied = 0;
    for (qsizetype at = findMarker(text, piece); at >= 0;
         at = findMarker(text, piece, at + piece.size())) {
        result += QStringView(text).sliced(copied, at - copied);
        copied = at + piece.size();
    }
    result += QStringView(text).sliced(copied);
    return result;
}

// Reads the option that starts at `marker`: its value ends before the next "/" or, with
// `endsAtNextMarker`, before the next marker that counts. Removes the option from `cmd`.
QString takeOption(QString& cmd, const QString& marker, bool endsAtNextMarker) {
    const qsizetype start = findMarker(cmd, marker);
    if (start < 0) return QString();
    const qsizetype end =
        endsAtNextMarker ? findAnyMarker(cmd, start + marker.size()) : cmd.indexOf(u'/', start + 1);
    const QString option =
        TrimSpaces(QStringView(cmd).sliced(start, (end < 0 ? cmd.size() : end) - start)).toString();
    cmd = TrimSpaces(removeCounting(cmd, option)).toString();
    return TrimSpaces(QStringView(option).sliced(marker.size())).toString();
}

}  // namespace

bool GetSilentOptionFromCommandLine(QString& cmd) {
    bool silent = false;
    Guarded(kModule, QStringLiteral("GetSilentOptionFromCommandLine"), [&] {
        if (findMarker(cmd, kSilent) < 0) return;
        silent = true;
        cmd = TrimSpaces(removeCounting(cmd, kSilent)).toString();
    });
    return silent;
}

QString GetPrinterOptionFromCommandLine(QString& cmd) {
    QString printer;
    Guarded(kModule, QStringLiteral("GetPrinterOptionFromCommandLine"),
            [&] { printer = takeOption(cmd, kPrinter, false); });
    return printer;
}

QString GetDataFileFromCommandLine(QString& cmd) {
    QString job;
    Guarded(kModule, QStringLiteral("GetDataFileFromCommandLine"),
            [&] { job = takeOption(cmd, kBatchJob, true); });
    return job;
}

FileCollection GetFilesFromCommandLine(const QString& cmd) {
    FileCollection result;
    Guarded(kModule, QStringLiteral("GetFilesFromCommandLine"), [&] {
        std::vector<FileItem> entries;
        const QStringView text(cmd);
        // `rest` always views the tail of `text`, so markers are judged in the whole text.
        const auto offsetOf = [&](QStringView part) { return part.data() - text.data(); };
        QStringView rest = text;
        while (!rest.isEmpty()) {
            const qsizetype marker = findMarker(text, kFile, offsetOf(rest));
            if (marker < 0) {
                entries.emplace_back(rest.toString());
                break;
            }
            rest = TrimSpaces(text.sliced(marker + kFile.size()));
            const qsizetype next = findMarker(text, kFile, offsetOf(rest));
            if (next < 0) {
                entries.emplace_back(rest.toString());
                break;
            }
            const QStringView entry = TrimSpaces(rest.first(next - offsetOf(rest)));
            entries.emplace_back(entry.toString());
            rest = TrimSpaces(rest.sliced(entry.size()));
        }
        result = std::move(entries);
    });
    return result;
}

bool HasSilentOption(const QString& commandLine) {
    return findMarker(commandLine, kSilent) >= 0;
}

bool HasClassicOption(const QString& commandLine) {
    return findAnyMarker(commandLine, 0) >= 0;
}

}  // namespace pbp
