#include <gtest/gtest.h>

#include <random>

#include "batch_window/list_edits.h"

namespace pbp {
namespace {

enum class Edit { Remove, Up, Down };

// The straightforward algorithm: the selected rows taken out, the last first, then for a move
// each put back one place up or down, the first first.
ListEdit editOneRowAtATime(std::vector<GridRow> entries, const std::vector<int>& selected,
                           Edit edit) {
    std::vector<GridRow> taken;
    for (int row : selected) taken.push_back(entries[size_t(row - 1)]);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        entries.erase(entries.begin() + (*it - 1));
    ListEdit result{entries, {}};
    if (edit == Edit::Remove) return result;
    const int offset = edit == Edit::Up ? -1 : 1;
    for (size_t i = 0; i < selected.size(); ++i) {
        const int row = selected[i] + offset;
        result.entries.insert(result.entries.begin() + (row - 1), taken[i]);
        result.selectedRows.push_back(row);
    }
    return result;
}

// Random lists and selections: the one-pass edits end exactly where the one-row-at-a-time
// algorithm ends, entries, statuses and selection alike.
TEST(ListEdits, OnePassMatchesOneRowAtATime) {
    std::mt19937 random(20240601);
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
        const ListEdit fast = edit == Edit::Remove ? RemoveRows(entries, selected)
                              : edit == Edit::Up   ? MoveRowsUp(entries, selected)
                                                   : MoveRowsDown(entries, selected);
        const ListEdit reference = editOneRowAtATime(entries, selected, edit);
        ASSERT_EQ(fast.entries, reference.entries) << "round " << round;
        ASSERT_EQ(fast.selectedRows, reference.selectedRows) << "round " << round;
    }
}

}  // namespace
}  // namespace pbp
