#pragma once

#include <vector>

#include "batch_window/file_list_grid.h"

namespace pbp {

// A new order of the list's entries and the list rows selected afterwards.
struct ListEdit {
    std::vector<GridRow> entries;
    std::vector<int> selectedRows;
};

// Each edit takes the entries (list rows 1..N) and the selected list rows in ascending order,
// and gives in one pass the same end state as removing the selected rows and re-inserting them
// one at a time.

// The selected rows removed; nothing selected afterwards.
ListEdit RemoveRows(const std::vector<GridRow>& entries, const std::vector<int>& selected);
// Every selected row one place up, the moved rows selected. Needs a selection not holding row 1.
ListEdit MoveRowsUp(const std::vector<GridRow>& entries, const std::vector<int>& selected);
// Every selected row one place down, the moved rows selected. Needs a selection not holding row N.
ListEdit MoveRowsDown(const std::vector<GridRow>& entries, const std::vector<int>& selected);
// The selected rows, in their order, moved together before list row `beforeRow` (N + 1: to
// the end), the moved rows selected. This is what dragging rows does.
ListEdit MoveRowsBefore(const std::vector<GridRow>& entries, const std::vector<int>& selected,
                        int beforeRow);

}  // namespace pbp
