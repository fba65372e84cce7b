#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "printing/run/entry_outcome.h"
#include "printing/run/status_window.h"

namespace pbp {

// The batch window's module name: its procedures and the print command report errors under it.
inline const QString kBatchWindowModule = QStringLiteral("frmPlenPrintBatch");

// What the print command reads from and writes to the batch window. The window implements it;
// tests may give their own.
class BatchPrintView {
  public:
    virtual ~BatchPrintView() = default;
    // Grid row count: row 0 is the header, rows 1..count-1 are the entries.
    virtual int rowCount() const = 0;
    virtual QString cellText(int row, int column) const = 0;
    // Shows the outcome of the entry in that row once the run is done with it.
    virtual void setOutcome(int row, const EntryOutcome& outcome) = 0;
    virtual QString copiesText() const = 0;
    // True when the printer's own settings decide the number of copies (a silent run that was
    // given no count); the copies text then only has to pass the readiness check.
    virtual bool copiesLeftToPrinter() const { return false; }
    virtual QString printerText() const = 0;
    virtual bool firstPageOnly() const = 0;
    virtual bool summaryPageChecked() const = 0;
    virtual QString summaryHeader() const = 0;
    // Enables or disables the Print and Close buttons together.
    virtual void setPrintAndCloseEnabled(bool enabled) = 0;
    // A new status window for the run, owned by the view's window.
    virtual std::unique_ptr<StatusWindow> openStatusWindow() = 0;
    // Shows the program's top-level window with that handle minimized; nothing when no window
    // has it (and nothing by default: a view without windows has none to minimize).
    virtual void minimizeWindow(qint32 /*hWnd*/) {}
    // Called once when a run that got as far as the drawings has ended, with every entry's
    // outcome in list order.
    virtual void runFinished(const std::vector<EntryOutcome>& /*outcomes*/) {}
    // A run starts printing its entries: statuses of an earlier run no longer apply.
    virtual void runStarting() {}
    // The run turns to grid row `row`.
    virtual void entryStarting(int /*row*/) {}
};

}  // namespace pbp
