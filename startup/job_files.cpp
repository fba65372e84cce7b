#include <QDomDocument>
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

// Job files are a few levels deep. QDomDocument takes minutes over a document nested many
// thousands deep, so a deeper one is refused like any other file that is no job file.
constexpr int kMaxJobFileDepth = 1000;
constexpr int kReasonsKept = 3;

// The line of the first element of `xml` that lies deeper than `limit`; stops reading there.
std::optional<qint64> nestedDeeperThan(const QByteArray& xml, int limit) {
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > limit) return reader.lineNumber();
        if (token == QXmlStreamReader::EndElement) --depth;
    }
    return std::nullopt;
}

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
        std::vector<FileItem> entries;
        if (DoesFileExist(path) == 0) {
            found.problem = QStringLiteral("it does not exist");
            result = std::move(entries);
            return;
        }
        QDomDocument document;
        {
            const std::optional<QByteArray> xml = readBounded(path, found);
            if (!xml) return;
            // Not XML at all: no root either, so the answer is no collection.
            if (const auto line = nestedDeeperThan(*xml, kMaxJobFileDepth)) {
                found.problem = QStringLiteral("line %1: elements are nested more than %2 deep")
                                    .arg(*line)
                                    .arg(kMaxJobFileDepth);
                return;
            }
            QString error;
            int line = 0, column = 0;
            if (!document.setContent(*xml, &error, &line, &column)) {
                found.problem =
                    QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(error);
                return;
            }
        }
        const QDomElement root = document.documentElement();
        if (root.tagName() != QLatin1String("PlenBatchPrintJob")) {
            found.problem = QStringLiteral(
                                "line %1: the root element is <%2>, not "
                                "<PlenBatchPrintJob>")
                                .arg(root.lineNumber())
                                .arg(root.tagName());
            return;
        }

        QString deleteJobFile;
        IgnoringErrors(
            [&] { deleteJobFile = root.attribute(QStringLiteral("DeleteJobFileWhenComplete")); });

        const QDomNodeList items = document.elementsByTagName(QStringLiteral("PlenBatchPrintItem"));
        entries.reserve(items.size());
        for (int i = 0; i < items.size(); ++i) {
            const QDomElement item = items.at(i).toElement();
            cPrintFile entry;
            IgnoringErrors([&] { entry.FileName = item.attribute(QStringLiteral("Filename")); });
            IgnoringErrors([&] {
                entry.Delete = item.attribute(QStringLiteral("Delete")) == QLatin1String("true");
            });
            if (!entry.FileName.isEmpty()) {
                entries.emplace_back(std::move(entry));
                continue;
            }
            const QDomNamedNodeMap attributes = item.attributes();
            QString miscased;
            for (int a = 0; a < attributes.size(); ++a)
                if (attributes.item(a).nodeName().compare(QLatin1String("Filename"),
                                                          Qt::CaseInsensitive) == 0)
                    miscased = attributes.item(a).nodeName();
            const bool empty = item.hasAttribute(QStringLiteral("Filename"));
            noteUnreadable(
                found, QStringLiteral("line %1: %2")
                           .arg(item.lineNumber())
                           .arg(empty                ? QStringLiteral("the Filename is empty")
                                : miscased.isEmpty() ? QStringLiteral("the item has no Filename")
                                                     : QStringLiteral("'%1' is not 'Filename' (the "
                                                                      "name is case-sensitive)")
                                                           .arg(miscased)));
        }

        if (deleteWhenComplete)
            *deleteWhenComplete =
                !deleteJobFile.isEmpty() && deleteJobFile.toLower() == QLatin1String("true");
        result = std::move(entries);
    });
    return result;
}

}  // namespace pbp
