#include <QDomDocument>
#include <QFile>
#include <QXmlStreamReader>

#include "startup/mod_main.h"
#include "startup/spaces.h"
#include "support/drawing_types.h"
#include "support/error_handling.h"
#include "support/file_operations.h"
#include "support/plenlib32.h"

namespace pbp {

namespace {

const QString kModule = QStringLiteral("modMain");

// Job files are a few levels deep. QDomDocument takes minutes over a document nested many
// thousands deep, so a deeper one is refused like any other file that is no job file.
constexpr int kMaxJobFileDepth = 1000;

// True when an element of `xml` lies deeper than `limit`; stops reading there.
bool nestedDeeperThan(const QByteArray& xml, int limit) {
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > limit) return true;
        if (token == QXmlStreamReader::EndElement) --depth;
    }
    return false;
}

}  // namespace

FileCollection GetFilesFromCSVDataFile(const QString& path) {
    FileCollection result;
    Guarded(kModule, QStringLiteral("GetFilesFromCSVDataFile"), [&] {
        std::vector<FileItem> entries;
        if (DoesFileExist(path) != 0) {
            const QString text = ReadFromTextFile(path);
            for (const QStringView rawPiece : QStringView(text).split(u',')) {
                // Removes every CR and every LF, wherever they stand.
                QString piece = RemoveCharactersFromStringVBWrap(TrimSpaces(rawPiece).toString(),
                                                                 QStringLiteral("\r\n"), 0);
                if (HasDrawingExtension(piece)) entries.emplace_back(std::move(piece));
            }
        }
        result = std::move(entries);
    });
    return result;
}

FileCollection GetFilesFromXMLDataFile(const QString& path, bool* deleteWhenComplete,
                                       FileIdentity* identity) {
    FileCollection result;
    Guarded(kModule, QStringLiteral("GetFilesFromXMLDataFile"), [&] {
        std::vector<FileItem> entries;
        if (DoesFileExist(path) == 0) {
            result = std::move(entries);
            return;
        }
        QDomDocument document;
        {
            QFile file(path);
            OpenRegularFileForReading(file);
            if (identity) *identity = fileIdentityOf(file.handle());
            const QByteArray xml = file.readAll();
            // Not XML at all: no root either, so the answer is no collection.
            if (nestedDeeperThan(xml, kMaxJobFileDepth) || !document.setContent(xml)) return;
        }
        const QDomElement root = document.documentElement();
        if (root.tagName() != QLatin1String("PlenBatchPrintJob")) return;

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
            if (!entry.FileName.isEmpty()) entries.emplace_back(std::move(entry));
        }

        if (deleteWhenComplete)
            *deleteWhenComplete =
                !deleteJobFile.isEmpty() && deleteJobFile.toLower() == QLatin1String("true");
        result = std::move(entries);
    });
    return result;
}

std::optional<QStringList> GetFiles(const QString& list, bool firstIsFolder) {
    std::optional<QStringList> result;
    Guarded(kModule, QStringLiteral("GetFiles"), [&] {
        QStringList files;
        QString folder;
        bool first = firstIsFolder;
        QStringView rest(list);
        while (!rest.isEmpty()) {
            const qsizetype end = rest.indexOf(QChar(u'\0'));
            if (end < 0) {
                files.append(folder + rest.toString());
                break;
            }
            const QStringView piece = rest.first(end);
            rest = rest.sliced(end + 1);
            if (first) {
                folder = piece.toString();
                if (!folder.endsWith(u'/')) folder += u'/';
            } else {
                files.append(folder + piece.toString());
            }
            first = false;
        }
        result = std::move(files);
    });
    return result;
}

}  // namespace pbp
