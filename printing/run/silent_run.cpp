#include "printing/run/silent_run.h"

#include <cstdio>

#include "printing/run/status_texts.h"
#include "support/platform.h"

namespace pbp {

QString SilentRunReport(const BatchPrintView& view) {
    QString report;
    for (int row = 1; row < view.rowCount(); ++row) {
        QString status = view.cellText(row, 1);
        status.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        report += view.cellText(row, 0) + QLatin1Char('\t') + status + QLatin1Char('\n');
    }
    return report;
}

int SilentRunExitCode(const BatchPrintView& view, PrintCommandOutcome outcome) {
    if (outcome == PrintCommandOutcome::NotStarted) return 2;
    for (int row = 1; row < view.rowCount(); ++row)
        if (view.cellText(row, 1) != status_text::kSentToPrinter) return 1;
    return 0;
}

void RunSilently(BatchPrintView& view) {
    const PrintCommandOutcome outcome = RunPrintCommand(view);
    const QByteArray report = SilentRunReport(view).toUtf8();
    std::fwrite(report.constData(), 1, static_cast<size_t>(report.size()), stdout);
    std::fflush(stdout);
    platform().process->endProcess(SilentRunExitCode(view, outcome));
}

}  // namespace pbp
