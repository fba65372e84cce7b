#pragma once

#include <QString>
#include <optional>
#include <variant>
#include <vector>

namespace pbp {

// One drawing named by an XML job file.
struct cPrintFile {
    QString FileName;     // the drawing's path as written in the job file
    bool Delete = false;  // delete the drawing's file when the batch window closes
};

// An entry of a file collection: a plain path (command line, batch list) or a job entry.
using FileItem = std::variant<QString, cPrintFile>;

// The ordered file collection handed from start-up to the batch window. Absent (nullopt)
// when a reader failed.
using FileCollection = std::optional<std::vector<FileItem>>;

}  // namespace pbp
