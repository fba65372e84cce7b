#pragma once

#include <QString>
#include <vector>

#include "batch_window/file_list_grid.h"

namespace pbp {

// The list as the user left it, kept beside the settings file as "batch-list.json" so that
// the next start brings it back.
QString KeptListFile();

// The kept entries; nothing when there is no kept list. A file that cannot be read as a list
// is renamed to "batch-list.json.damaged" and `note` says so; start-up then goes on with an
// empty list.
struct KeptList {
    std::vector<GridRow> entries;
    QString note;
};
KeptList LoadKeptList();

// Replaces the kept list in one step (a file killed half-way leaves the old list whole).
// Throws VbError naming the file when it cannot be written.
void SaveKeptList(const std::vector<GridRow>& entries);

}  // namespace pbp
