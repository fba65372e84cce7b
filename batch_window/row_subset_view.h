#pragma once

#include <vector>

#include "printing/run/batch_print_view.h"

namespace pbp {

// A view of some rows of another view: a print run over it prints those rows only, in the
// order given, and writes each outcome back into the row it came from. Everything else (the
// printer, copies, summary page, windows) is the other view's.
class RowSubsetView : public ForwardingPrintView {
  public:
    RowSubsetView(BatchPrintView& whole, std::vector<int> rows)
        : ForwardingPrintView(whole), rows_(std::move(rows)) {}

    int rowCount() const override { return int(rows_.size()) + 1; }
    QString cellText(int row, int column) const override {
        return inner_.cellText(wholeRow(row), column);
    }
    void setOutcome(int row, const EntryOutcome& outcome) override {
        inner_.setOutcome(wholeRow(row), outcome);
    }
    // The other rows keep their statuses: only the rows printed again change.
    void runStarting() override {}
    void entryStarting(int row) override { inner_.entryStarting(wholeRow(row)); }

  private:
    int wholeRow(int row) const { return row == 0 ? 0 : rows_[size_t(row - 1)]; }

    std::vector<int> rows_;
};

}  // namespace pbp
