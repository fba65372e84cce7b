#pragma once

#include <QStringList>
#include <ostream>

#include "support/file_collection.h"

namespace pbp::test {

// The paths of a collection in order; job entries marked for deletion end in " [delete]".
inline QStringList pathsOf(const FileCollection& files) {
    QStringList paths;
    if (!files) return paths;
    for (const FileItem& item : *files) {
        if (const auto* path = std::get_if<QString>(&item)) {
            paths << *path;
        } else {
            const auto& job = std::get<cPrintFile>(item);
            paths << (job.Delete ? job.FileName + QStringLiteral(" [delete]") : job.FileName);
        }
    }
    return paths;
}

}  // namespace pbp::test

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
