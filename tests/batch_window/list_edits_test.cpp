#include <gtest/gtest.h>

#include <random>

#include "batch_window/file_list_grid.h"
#include "batch_window/list_edits.h"

namespace pbp {
namespace {

enum class Edit { Remove, Up, Down };

// The straightforward algorithm, one row at a time through the grid's row operations.
void editOneRowAtATime(FileListGrid& grid, Edit edit) {
    const std::vector<int> selected = grid.selectedRows();
    std::vector<GridRow> recorded;
    for (int row : selected) recorded.push_back({grid.textMatrix(row, 0), grid.textMatrix(row, 1)});
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) grid.removeItem(*it);
    if (edit == Edit::Remove) return;
    const int offset = edit == Edit::Up ? -1 : 1;
    for (size_t i = 0; i < selected.size(); ++i) {
        grid.insertItem(selected[i] + offset, recorded[i].path);
        grid.setTextMatrix(selected[i] + offset, 1, recorded[i].status);
    }
    for (int row : selected) grid.markSelected(row + offset);
}

void editInOnePass(FileListGrid& grid, Edit edit) {
    const auto entries = grid.entries();
    const auto selected = grid.selectedRows();
    const ListEdit result = edit == Edit::Remove ? RemoveRows(entries, selected)
                            : edit == Edit::Up   ? MoveRowsUp(entries, selected)
                                                 : MoveRowsDown(entries, selected);
    grid.replaceEntries(result.entries, result.selectedRows);
}

// Random lists and selections: the one-pass edits end exactly where the one-row-at-a-time
// algorithm ends, entries, statuses and selection alike.
TEST(ListEdits, OnePassMatchesOneRowAtATime) {
    std::mt19937 random(20240601);
    FileListGrid reference;
    FileListGrid fast;
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + int(random() % 12);
        std::vector<GridRow> entries;
        std::vector<int> selected;
        for (int row = 1; row <= count; ++row) {
            entries.push_back(
                {QStringLiteral("/d/%1.vsd").arg(row), QStringLiteral("s%1").arg(row)});
            if (random() % 2) selected.push_back(row);
        }
        const Edit edit = Edit(round % 3);
        if (selected.empty() || (edit == Edit::Up && selected.front() == 1) ||
            (edit == Edit::Down && selected.back() == count))
            continue;
        for (FileListGrid* grid : {&reference, &fast}) grid->replaceEntries(entries, selected);
        editOneRowAtATime(reference, edit);
        editInOnePass(fast, edit);
        ASSERT_EQ(fast.entries(), reference.entries()) << "round " << round;
        ASSERT_EQ(fast.selectedRows(), reference.selectedRows()) << "round " << round;
    }
}

}  // namespace
}  // namespace pbp
