#include "printing/run/silent_run.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "printing/engine/run_stop.h"
#include "printing/printers/printer_system.h"
#include "printing/run/job_deletions.h"
#include "printing/run/kept_printer_choices.h"
#include "printing/run/one_pdf_run.h"
#include "printing/run/print_command.h"
#include "printing/run/print_services.h"
#include "printing/run/summary_page.h"
#include "support/error_handling.h"
#include "support/escaped_text.h"

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

// Standard error shows each new step text; nobody sees a window in a silent run.
class StandardErrorStatus : public StatusWindow {
  public:
    void Display() override {}
    void Value(const QString& sDescription, qint32 /*lNewValue*/) override {
        if (sDescription == lastWritten_) return;
        const QByteArray line = (sDescription + QLatin1Char('\n')).toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
        lastWritten_ = sDescription;
    }

  private:
    QString lastWritten_;
};

// The run request as the print command reads it, with every finished entry reported.
class SilentView : public BatchPrintView {
  public:
    SilentView(const RunRequest& request, Report& report)
        : request_(request),
          paths_(request.paths()),
          printer_(SilentRunPrinter(request)),
          deletions_(request.files, request.jobFileToDelete, request.jobFileIdentity),
          report_(report) {}
    int rowCount() const override { return int(paths_.size()) + 1; }
    QString cellText(int row, int column) const override {
        return column == 0 ? paths_.at(row - 1) : QString();
    }
    void setOutcome(int /*row*/, const EntryOutcome& outcome) override {
        report_.write(outcome);
        writeUndrawnLine(outcome);
    }
    // Without a count the printer's own settings decide; "1" passes the readiness check.
    QString copiesText() const override { return QString::number(request_.copies.value_or(1)); }
    bool copiesLeftToPrinter() const override { return !request_.copies; }
    QString printerText() const override { return printer_; }
    bool firstPageOnly() const override { return request_.firstPageOnly; }
    bool summaryPageChecked() const override { return request_.summaryHeader.has_value(); }
    QString summaryHeader() const override {
        const QString header = request_.summaryHeader.value_or(QString());
        return header.isEmpty() ? kDefaultSummaryHeader : header;
    }
    void setPrintAndCloseEnabled(bool /*enabled*/) override {}
    std::unique_ptr<StatusWindow> openStatusWindow() override {
        return std::make_unique<StandardErrorStatus>();
    }
    void runFinished(const std::vector<EntryOutcome>& outcomes) override {
        for (const EntryOutcome& outcome : outcomes)
            if (outcome.result == EntryResult::NotReached) report_.write(outcome);
        deletions_.afterRun(outcomes);
    }

  private:
    const RunRequest& request_;
    const QStringList paths_;
    const QString printer_;
    JobDeletions deletions_;
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

QString SilentRunPrinter(const RunRequest& request) {
    if (!request.printer.isEmpty()) return request.printer;
    printers::PrinterSystem* system = printServices().printers;
    if (!system) return {};
    QStringList names = system->printerNames();
    const QString remembered = RememberedPrinter();
    if (!remembered.isEmpty() && names.contains(remembered)) return remembered;
    QString systemDefault;
    IgnoringErrors([&] {
        systemDefault = system->defaultPrinter();
        systemDefault.remove(QLatin1Char('\r'));
        systemDefault.remove(QLatin1Char('\n'));
    });
    if (!systemDefault.isEmpty()) return names.contains(systemDefault) ? systemDefault : QString();
    std::sort(names.begin(), names.end());
    return names.isEmpty() ? QString() : names.first();
}

int RunSilently(const RunRequest& request) {
    stopRunOnSignals();
    Report report;
    SilentView view(request, report);
    // --output: one PDF for the run; a run whose PDF was not written did not print its drawings.
    bool pdfLost = false;
    PrintCommandResult result;
    if (request.outputPdf.isEmpty()) {
        result = RunPrintCommand(view);
    } else {
        const OnePdfRunResult onePdf = PrintIntoOnePdf(view, request.outputPdf);
        result = onePdf.run;
        pdfLost = result.started && !onePdf.written;
    }
    if (result.cancelled) reportQueuedJobs();
    const bool reportLost = report.toldLost();
    // A cancelled run ends as the signal says, so that the script that sent it can tell.
    if (result.cancelled) return cancelledExitCode(result.stopSignal);
    if (reportLost) return kReportLost;
    return pdfLost ? kNotAllSent : ExitCode(result.started, result.outcomes);
}

}  // namespace pbp
