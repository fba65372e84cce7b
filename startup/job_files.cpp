#include <QDomDocument>
#include <QFile>

#include "startup/mod_main.h"
#include "startup/spaces.h"
#include "support/drawing_types.h"
#include "support/error_handling.h"
#include "support/file_operations.h"
#include "support/plenlib32.h"

namespace pbp {

namespace {

const QString kModule = QStringLiteral("modMain");

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

FileCollection GetFilesFromXMLDataFile(const QString& path, bool* deleteWhenComplete) {
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
            // Not XML at all: no root either, so the answer is no collection.
            if (!document.setContent(&file)) return;
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
