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
    // The run opened the drawing at `path`: it has that many foreground pages now.
    virtual void pagesRead(const QString& /*path*/, int /*foregroundPages*/) {}
};

// A view that hands everything to another view; views that change a part of it derive from it.
class ForwardingPrintView : public BatchPrintView {
  public:
    explicit ForwardingPrintView(BatchPrintView& inner) : inner_(inner) {}
    int rowCount() const override { return inner_.rowCount(); }
    QString cellText(int row, int column) const override { return inner_.cellText(row, column); }
    void setOutcome(int row, const EntryOutcome& outcome) override {
        inner_.setOutcome(row, outcome);
    }
    QString copiesText() const override { return inner_.copiesText(); }
    bool copiesLeftToPrinter() const override { return inner_.copiesLeftToPrinter(); }
    QString printerText() const override { return inner_.printerText(); }
    bool firstPageOnly() const override { return inner_.firstPageOnly(); }
    bool summaryPageChecked() const override { return inner_.summaryPageChecked(); }
    QString summaryHeader() const override { return inner_.summaryHeader(); }
    void setPrintAndCloseEnabled(bool enabled) override { inner_.setPrintAndCloseEnabled(enabled); }
    std::unique_ptr<StatusWindow> openStatusWindow() override { return inner_.openStatusWindow(); }
    void minimizeWindow(qint32 hWnd) override { inner_.minimizeWindow(hWnd); }
    void runFinished(const std::vector<EntryOutcome>& outcomes) override {
        inner_.runFinished(outcomes);
    }
    void runStarting() override { inner_.runStarting(); }
    void entryStarting(int row) override { inner_.entryStarting(row); }
    void pagesRead(const QString& path, int foregroundPages) override {
        inner_.pagesRead(path, foregroundPages);
    }

  protected:
    BatchPrintView& inner_;
};

}  // namespace pbp
