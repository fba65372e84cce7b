#include "printing/run/silent_run.h"

#include <signal.h>

#include <cstdio>

#include "printing/engine/run_stop.h"
#include "printing/printers/printer_system.h"
#include "printing/run/print_command.h"
#include "printing/run/print_services.h"
#include "support/platform.h"

namespace pbp {

namespace {

// Writes one report line and flushes it, so that a run killed from outside still leaves the
// lines of what it did.
void writeReportLine(const EntryOutcome& outcome) {
    const QByteArray line = (ReportLine(outcome) + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

// Says on standard error what of a printed drawing could not be drawn; the report line keeps
// its classic status.
void writeUndrawnLine(const EntryOutcome& outcome) {
    const QString summary = UndrawnSummary(outcome.undrawn);
    if (summary.isEmpty()) return;
    const QByteArray line =
        (outcome.path + QStringLiteral(": ") + summary + QStringLiteral(".\n")).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

// The batch window as the run sees it, with every finished entry also reported.
class ReportingView : public BatchPrintView {
  public:
    explicit ReportingView(BatchPrintView& view) : view_(view) {}
    int rowCount() const override { return view_.rowCount(); }
    QString cellText(int row, int column) const override { return view_.cellText(row, column); }
    void setOutcome(int row, const EntryOutcome& outcome) override {
        view_.setOutcome(row, outcome);
        writeReportLine(outcome);
        writeUndrawnLine(outcome);
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
            if (outcome.result == EntryResult::NotReached) writeReportLine(outcome);
        view_.runFinished(outcomes);
    }

  private:
    BatchPrintView& view_;
};

void stopOnSignal(int signalNumber) {
    run_stop::request(signalNumber);
}

// SIGINT, SIGTERM and SIGHUP stop the run rather than the process, so that every entry gets its
// line and no worker or temporary file is left. The handler goes after the first one: a second
// signal of the same kind ends the process at once.
void stopRunOnSignals() {
    struct sigaction action {};
    action.sa_handler = stopOnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
}

// Lists the CUPS jobs the run queued, so that a script can cancel them.
void reportQueuedJobs() {
    const printers::PrinterSystem* printers = printServices().printers;
    if (!printers || printers->queuedJobs().isEmpty()) return;
    const QByteArray line = "queued jobs: " + printers->queuedJobs().join(u' ').toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

// 128 and the signal's number, as shells report a process a signal ended; the Cancel button
// counts as an interrupt (130).
int cancelledExitCode(int signalNumber) {
    return 128 + (signalNumber != 0 ? signalNumber : SIGINT);
}

}  // namespace

void RunSilently(BatchPrintView& view) {
    stopRunOnSignals();
    ReportingView reporting(view);
    const PrintCommandResult result = RunPrintCommand(reporting);
    if (result.cancelled) {
        reportQueuedJobs();
        platform().process->endProcess(cancelledExitCode(result.stopSignal));
        return;
    }
    platform().process->endProcess(ExitCode(result.started, result.outcomes));
}

}  // namespace pbp
