#include "printing/run/silent_run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "printing/run/print_command.h"
#include "support/platform.h"

namespace pbp {

namespace {

constexpr int kReportLost = 2;

// The report on standard output. Each line is flushed at once, so that a run killed from
// outside still leaves the lines of what it did. A failed write is remembered (the first
// error) and the run goes on: the drawings are printed all the same.
class Report {
  public:
    void write(const EntryOutcome& outcome) {
        const QByteArray line = (ReportLine(outcome) + QLatin1Char('\n')).toUtf8();
        errno = 0;
        const bool written =
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout) == size_t(line.size());
        if ((std::fflush(stdout) != 0 || !written) && error_ == 0) error_ = errno ? errno : EIO;
    }
    // Says on standard error why the report is incomplete; false when it is whole.
    bool toldLost() const {
        if (error_ == 0) return false;
        std::fprintf(stderr, "PlenBatchPrint: write error: %s\n", std::strerror(error_));
        return true;
    }

  private:
    int error_ = 0;
};

// The batch window as the run sees it, with every finished entry also reported.
class ReportingView : public BatchPrintView {
  public:
    ReportingView(BatchPrintView& view, Report& report) : view_(view), report_(report) {}
    int rowCount() const override { return view_.rowCount(); }
    QString cellText(int row, int column) const override { return view_.cellText(row, column); }
    void setOutcome(int row, const EntryOutcome& outcome) override {
        view_.setOutcome(row, outcome);
        report_.write(outcome);
    }
    QString copiesText() const override { return view_.copiesText(); }
    bool copiesLeftToPrinter() const override { return view_.copiesLeftToPrinter(); }
    QString printerText() const override { return view_.printerText(); }
    bool firstPageOnly() const override { return view_.firstPageOnly(); }
    bool summaryPageChecked() const override { return view_.summaryPageChecked(); }
    QString summaryHeader() const override { return view_.summaryHeader(); }
    void setPrintAndCloseEnabled(bool enabled) override { view_.setPrintAndCloseEnabled(enabled); }
    std::unique_ptr<StatusWindow> openStatusWindow() override { return view_.openStatusWindow(); }
    void minimizeWindow(qint32 hWnd) override { view_.minimizeWindow(hWnd); }
    void runFinished(const std::vector<EntryOutcome>& outcomes) override {
        for (const EntryOutcome& outcome : outcomes)
            if (outcome.result == EntryResult::NotReached) report_.write(outcome);
        view_.runFinished(outcomes);
    }

  private:
    BatchPrintView& view_;
    Report& report_;
};

}  // namespace

void RunSilently(BatchPrintView& view) {
    Report report;
    ReportingView reporting(view, report);
    const PrintCommandResult result = RunPrintCommand(reporting);
    if (report.toldLost()) {
        platform().process->endProcess(kReportLost);
        return;
    }
    platform().process->endProcess(ExitCode(result.started, result.outcomes));
}

}  // namespace pbp
