#include "printing/run/silent_run.h"

#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "printing/engine/run_stop.h"
#include "printing/printers/printer_system.h"
#include "printing/run/one_pdf_run.h"
#include "printing/run/print_command.h"
#include "printing/run/print_services.h"
#include "support/escaped_text.h"
#include "support/platform.h"
#include "support/program_state.h"

namespace pbp {

namespace {

constexpr int kReportLost = 2;
constexpr int kNotAllSent = 1;

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

// Says on standard error what of a printed drawing could not be drawn; the report line keeps
// its classic status.
void writeUndrawnLine(const EntryOutcome& outcome) {
    const QString summary = UndrawnSummary(outcome.undrawn);
    if (summary.isEmpty()) return;
    const QByteArray line =
        (EscapedText(outcome.path) + QStringLiteral(": ") + summary + QStringLiteral(".\n"))
            .toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

// The batch window as the run sees it, with every finished entry also reported.
class ReportingView : public BatchPrintView {
  public:
    ReportingView(BatchPrintView& view, Report& report) : view_(view), report_(report) {}
    int rowCount() const override { return view_.rowCount(); }
    QString cellText(int row, int column) const override { return view_.cellText(row, column); }
    void setOutcome(int row, const EntryOutcome& outcome) override {
        view_.setOutcome(row, outcome);
        report_.write(outcome);
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
            if (outcome.result == EntryResult::NotReached) report_.write(outcome);
        view_.runFinished(outcomes);
    }

  private:
    BatchPrintView& view_;
    Report& report_;
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
    Report report;
    ReportingView reporting(view, report);
    // --output: one PDF for the run; a run whose PDF was not written did not print its drawings.
    bool pdfLost = false;
    PrintCommandResult result;
    if (g_oCommandLineOptions.outputPdf.isEmpty()) {
        result = RunPrintCommand(reporting);
    } else {
        const OnePdfRunResult onePdf = PrintIntoOnePdf(reporting, g_oCommandLineOptions.outputPdf);
        result = onePdf.run;
        pdfLost = result.started && !onePdf.written;
    }
    if (result.cancelled) reportQueuedJobs();
    const bool reportLost = report.toldLost();
    // A cancelled run ends as the signal says, so that the script that sent it can tell.
    if (result.cancelled) {
        platform().process->endProcess(cancelledExitCode(result.stopSignal));
        return;
    }
    if (reportLost) {
        platform().process->endProcess(kReportLost);
        return;
    }
    platform().process->endProcess(pdfLost ? kNotAllSent
                                           : ExitCode(result.started, result.outcomes));
}

}  // namespace pbp
