#include <QFile>
#include <QXmlStreamReader>

#include "startup/mod_main.h"
#include "startup/spaces.h"
#include "support/drawing_types.h"
#include "support/error_handling.h"
#include "support/escaped_text.h"
#include "support/file_operations.h"
#include "support/plenlib32.h"

namespace pbp {

namespace {

const QString kModule = QStringLiteral("modMain");

// Job files are a few levels deep; a deeper one is refused like any other file that is no job
// file, as soon as the reader gets there.
constexpr int kMaxJobFileDepth = 1000;
constexpr int kReasonsKept = 3;

// The whole file, or nothing when it is larger than kMaxJobFileBytes (the problem says so).
// Reads until a read gives nothing: the size a file reports can overstate its data.
std::optional<QByteArray> readBounded(const QString& path, JobFileNotes& notes) {
    QFile file(path);
    OpenRegularFileForReading(file);
    notes.identity = fileIdentityOf(file.handle());
    const auto tooLarge = [&] {
        notes.problem =
            QStringLiteral("it is larger than %1 MB and was not read").arg(kMaxJobFileBytes >> 20);
        return std::nullopt;
    };
    if (notes.identity.size > kMaxJobFileBytes) return tooLarge();
    QByteArray bytes;
    for (;;) {
        const QByteArray chunk = file.read(1 << 16);
        if (chunk.isEmpty()) break;
        bytes += chunk;
        if (bytes.size() > kMaxJobFileBytes) return tooLarge();
    }
    if (file.error() != QFileDevice::NoError)
        throw VbError(errnum::kPathFileAccess, path + QStringLiteral(": ") + file.errorString());
    return bytes;
}

void noteUnreadable(JobFileNotes& notes, const QString& reason) {
    if (++notes.unreadableEntries <= kReasonsKept) notes.reasons << reason;
}

// The pieces of a batch list: split at commas outside double quotes. A quoted piece is taken as
// it stands ("" is a quote); an unquoted one is trimmed of spaces and loses every CR and LF.
QStringList batchListPieces(const QString& text) {
    QStringList pieces;
    QString piece;
    bool quoted = false, inQuotes = false;
    const auto finish = [&] {
        pieces << (quoted ? piece
                          : RemoveCharactersFromStringVBWrap(TrimSpaces(piece).toString(),
                                                             QStringLiteral("\r\n"), 0));
        piece.clear();
        quoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c != u'"')
                piece += c;
            else if (i + 1 < text.size() && text.at(i + 1) == u'"')
                piece += text.at(++i);
            else
                inQuotes = false;
        } else if (c == u',') {
            finish();
        } else if (c == u'"' && !quoted && TrimSpaces(piece).isEmpty()) {
            piece.clear();
            quoted = inQuotes = true;
        } else if (!quoted) {
            piece += c;
        }
    }
    finish();
    return pieces;
}

// What a job file holds: the root's delete request, its items and why others were skipped.
struct JobFileContent {
    QString deleteJobFile;
    std::vector<FileItem> entries;
    QStringList unreadable;
};

// Why an item without a usable Filename was skipped.
QString skippedItemReason(const QXmlStreamAttributes& attributes) {
    if (attributes.hasAttribute(QStringLiteral("Filename")))
        return QStringLiteral("the Filename is empty");
    for (const QXmlStreamAttribute& attribute : attributes)
        if (attribute.qualifiedName().compare(QLatin1String("Filename"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("'%1' is not 'Filename' (the name is case-sensitive)")
                .arg(attribute.qualifiedName());
    return QStringLiteral("the item has no Filename");
}

// Reads the job in one pass: every <PlenBatchPrintItem> at any depth below the root
// <PlenBatchPrintJob>. Nothing is taken from a file that is not well-formed XML; `problem` then
// says what is wrong and where.
std::optional<JobFileContent> readJobXml(const QByteArray& xml, QString& problem) {
    QXmlStreamReader reader(xml);
    reader.setNamespaceProcessing(false);  // names are taken as they are written, prefix and all
    JobFileContent content;
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) --depth;
        if (token != QXmlStreamReader::StartElement) continue;
        if (++depth > kMaxJobFileDepth) {
            problem = QStringLiteral("line %1: elements are nested more than %2 deep")
                          .arg(reader.lineNumber())
                          .arg(kMaxJobFileDepth);
            return std::nullopt;
        }
        const QXmlStreamAttributes attributes = reader.attributes();
        if (depth == 1) {
            if (reader.qualifiedName() != QLatin1String("PlenBatchPrintJob")) {
                problem = QStringLiteral(
                              "line %1: the root element is <%2>, not "
                              "<PlenBatchPrintJob>")
                              .arg(reader.lineNumber())
                              .arg(reader.qualifiedName());
                return std::nullopt;
            }
            content.deleteJobFile =
                attributes.value(QStringLiteral("DeleteJobFileWhenComplete")).toString();
        } else if (reader.qualifiedName() == QLatin1String("PlenBatchPrintItem")) {
            cPrintFile entry;
            entry.FileName = attributes.value(QStringLiteral("Filename")).toString();
            entry.Delete = attributes.value(QStringLiteral("Delete")) == QLatin1String("true");
            if (!entry.FileName.isEmpty())
                content.entries.emplace_back(std::move(entry));
            else
                content.unreadable << QStringLiteral("line %1: %2")
                                          .arg(reader.lineNumber())
                                          .arg(skippedItemReason(attributes));
        }
    }
    if (reader.hasError()) {
        problem = QStringLiteral("line %1, column %2: %3")
                      .arg(reader.lineNumber())
                      .arg(reader.columnNumber())
                      .arg(reader.errorString());
        return std::nullopt;
    }
    return content;
}

}  // namespace

QString UnreadableEntriesText(const QString& file, const JobFileNotes& notes) {
    if (notes.unreadableEntries == 0) return {};
    return QStringLiteral("%1 entries of %2 could not be read: %3%4")
        .arg(notes.unreadableEntries)
        .arg(EscapedText(file), notes.reasons.join(QStringLiteral("; ")),
             notes.unreadableEntries > notes.reasons.size() ? QStringLiteral("; ...") : QString());
}

FileCollection GetFilesFromCSVDataFile(const QString& path, JobFileNotes* notes) {
    FileCollection result;
    JobFileNotes ownNotes;
    JobFileNotes& found = notes ? *notes : ownNotes;
    Guarded(kModule, QStringLiteral("GetFilesFromCSVDataFile"), [&] {
        std::vector<FileItem> entries;
        if (DoesFileExist(path) != 0) {
            // A file that cannot be read is reported and gives an empty list.
            std::optional<QByteArray> bytes = QByteArray();
            found.reported = !Guarded(kModule, QStringLiteral("GetFilesFromCSVDataFile"),
                                      [&] { bytes = readBounded(path, found); });
            for (QString& piece :
                 batchListPieces(QString::fromUtf8(bytes.value_or(QByteArray())))) {
                if (HasDrawingExtension(piece))
                    entries.emplace_back(std::move(piece));
                else if (!piece.isEmpty())
                    noteUnreadable(
                        found,
                        QStringLiteral("'%1' is not a drawing's name").arg(EscapedText(piece)));
            }
        }
        result = std::move(entries);
    });
    return result;
}

FileCollection GetFilesFromXMLDataFile(const QString& path, bool* deleteWhenComplete,
                                       JobFileNotes* notes) {
    FileCollection result;
    JobFileNotes ownNotes;
    JobFileNotes& found = notes ? *notes : ownNotes;
    Guarded(kModule, QStringLiteral("GetFilesFromXMLDataFile"), [&] {
        if (DoesFileExist(path) == 0) {
            found.problem = QStringLiteral("it does not exist");
            result = std::vector<FileItem>{};
            return;
        }
        const std::optional<QByteArray> xml = readBounded(path, found);
        if (!xml) return;
        std::optional<JobFileContent> content = readJobXml(*xml, found.problem);
        // Not a job file: the answer is no collection.
        if (!content) return;
        for (const QString& reason : content->unreadable) noteUnreadable(found, reason);
        if (deleteWhenComplete)
            *deleteWhenComplete =
                content->deleteJobFile.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        result = std::move(content->entries);
    });
    return result;
}

}  // namespace pbp
