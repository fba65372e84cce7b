#include "batch_window/list_edits.h"

namespace pbp {

namespace {

std::vector<bool> selectionMask(size_t count, const std::vector<int>& selected) {
    std::vector<bool> mask(count, false);
    for (int row : selected) mask[size_t(row - 1)] = true;
    return mask;
}

// Each selected row r lands on list row r + offset; the other rows fill the free places in
// their old order.
ListEdit shiftSelected(const std::vector<GridRow>& entries, const std::vector<int>& selected,
                       int offset) {
    const std::vector<bool> moving = selectionMask(entries.size(), selected);
    ListEdit edit;
    edit.entries.resize(entries.size());
    std::vector<bool> taken(entries.size(), false);
    for (int row : selected) {
        const size_t target = size_t(row - 1 + offset);
        edit.entries[target] = entries[size_t(row - 1)];
        taken[target] = true;
        edit.selectedRows.push_back(row + offset);
    }
    size_t next = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (moving[i]) continue;
        while (taken[next]) ++next;
        edit.entries[next++] = entries[i];
    }
    return edit;
}

}  // namespace

ListEdit RemoveRows(const std::vector<GridRow>& entries, const std::vector<int>& selected) {
    const std::vector<bool> removed = selectionMask(entries.size(), selected);
    ListEdit edit;
    edit.entries.reserve(entries.size() - selected.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!removed[i]) edit.entries.push_back(entries[i]);
    }
    return edit;
}

ListEdit MoveRowsUp(const std::vector<GridRow>& entries, const std::vector<int>& selected) {
    return shiftSelected(entries, selected, -1);
}

ListEdit MoveRowsDown(const std::vector<GridRow>& entries, const std::vector<int>& selected) {
    return shiftSelected(entries, selected, +1);
}

ListEdit MoveRowsBefore(const std::vector<GridRow>& entries, const std::vector<int>& selected,
                        int beforeRow) {
    const std::vector<bool> moving = selectionMask(entries.size(), selected);
    ListEdit edit;
    edit.entries.reserve(entries.size());
    size_t insertAt = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (moving[i]) continue;
        if (int(i) + 1 < beforeRow) ++insertAt;
        edit.entries.push_back(entries[i]);
    }
    std::vector<GridRow> block;
    for (int row : selected) block.push_back(entries[size_t(row - 1)]);
    edit.entries.insert(edit.entries.begin() + std::ptrdiff_t(insertAt), block.begin(),
                        block.end());
    for (size_t k = 0; k < block.size(); ++k) edit.selectedRows.push_back(int(insertAt + k) + 1);
    return edit;
}

}  // namespace pbp
