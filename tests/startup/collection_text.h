#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <ostream>

#include "support/file_collection.h"
#include "tests/common/fake_platform.h"

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace pbp::test {

// The paths of a collection in order; job entries marked for deletion end in " [delete]".
inline QStringList pathsOf(const FileCollection& files) {
    QStringList paths;
    for (const FileItem& item : files.value_or(std::vector<FileItem>{})) {
        const auto* job = std::get_if<cPrintFile>(&item);
        paths << (!job ? std::get<QString>(item)
                       : job->FileName + (job->Delete ? " [delete]" : ""));
    }
    return paths;
}

}  // namespace pbp::test
