#pragma once

#include <vector>

#include "printing/run/batch_print_view.h"

namespace pbp {

// A view of some rows of another view: a print run over it prints those rows only, in the
// order given, and writes each outcome back into the row it came from. Everything else (the
// printer, copies, summary page, windows) is the other view's.
class RowSubsetView : public BatchPrintView {
  public:
    RowSubsetView(BatchPrintView& whole, std::vector<int> rows)
        : whole_(whole), rows_(std::move(rows)) {}

    int rowCount() const override { return int(rows_.size()) + 1; }
    QString cellText(int row, int column) const override;
    void setOutcome(int row, const EntryOutcome& outcome) override;
    QString copiesText() const override { return whole_.copiesText(); }
    bool copiesLeftToPrinter() const override { return whole_.copiesLeftToPrinter(); }
    QString printerText() const override { return whole_.printerText(); }
    bool firstPageOnly() const override { return whole_.firstPageOnly(); }
    bool summaryPageChecked() const override { return whole_.summaryPageChecked(); }
    QString summaryHeader() const override { return whole_.summaryHeader(); }
    void setPrintAndCloseEnabled(bool enabled) override { whole_.setPrintAndCloseEnabled(enabled); }
    std::unique_ptr<StatusWindow> openStatusWindow() override { return whole_.openStatusWindow(); }
    void minimizeWindow(qint32 hWnd) override { whole_.minimizeWindow(hWnd); }
    void runFinished(const std::vector<EntryOutcome>& outcomes) override {
        whole_.runFinished(outcomes);
    }
    // The other rows keep their statuses: only the rows printed again change.
    void runStarting() override {}
    void entryStarting(int row) override { whole_.entryStarting(wholeRow(row)); }

  private:
    int wholeRow(int row) const { return row == 0 ? 0 : rows_[size_t(row - 1)]; }

    BatchPrintView& whole_;
    std::vector<int> rows_;
};

}  // namespace pbp
