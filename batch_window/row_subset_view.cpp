#include "batch_window/row_subset_view.h"

namespace pbp {

QString RowSubsetView::cellText(int row, int column) const {
    return whole_.cellText(wholeRow(row), column);
}

void RowSubsetView::setOutcome(int row, const EntryOutcome& outcome) {
    whole_.setOutcome(wholeRow(row), outcome);
}

}  // namespace pbp
