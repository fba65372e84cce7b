#include "printing/run/entry_outcome.h"

#include <algorithm>

#include "printing/engine/visio.h"
#include "printing/run/status_texts.h"
#include "support/escaped_text.h"

namespace pbp {

namespace {
constexpr int kAllSent = 0;
constexpr int kSomeNotSent = 1;
constexpr int kRunDidNotStart = 2;
constexpr qsizetype kNotesInToolTip = 10;

bool readerFailed(const EntryOutcome& outcome) {
    return outcome.errorNumber == visio::kDrawingReaderFailed;
}

// The status as one field: the texts' own line breaks (CR LF) as spaces, the rest escaped.
QString statusField(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return EscapedText(text);
}
}  // namespace

QString StatusText(const EntryOutcome& outcome) {
    switch (outcome.result) {
        case EntryResult::Sent:
            return status_text::kSentToPrinter;
        case EntryResult::OpenFailed:
            // A reader that crashed, ran out of time or memory says so in the cell itself.
            if (readerFailed(outcome))
                return status_text::openFailed(outcome.path, outcome.errorDescription);
            return status_text::openFailed(outcome.path);
        case EntryResult::PrintFailed:
            return status_text::printFailed(outcome.errorDescription);
        case EntryResult::OnlyBackgroundPages:
            return status_text::kOnlyBackgroundPages;
        case EntryResult::Cancelled:
            return status_text::kRunCancelled;
        case EntryResult::NotReached:
            break;
    }
    return {};
}

QString StatusWithReason(const EntryOutcome& outcome) {
    if (outcome.result == EntryResult::NotReached)
        return QStringLiteral("Not printed: the run stopped before this entry.");
    if (outcome.result == EntryResult::OpenFailed && !outcome.errorDescription.isEmpty() &&
        !readerFailed(outcome))
        return StatusText(outcome) + QStringLiteral("\r\n") + outcome.errorDescription;
    return StatusText(outcome);
}

QString UndrawnSummary(const QStringList& notes) {
    struct Kind {
        QLatin1StringView firstWord, one, many;
        qsizetype count = 0;
    };
    Kind kinds[] = {
        {QLatin1StringView("Picture"), QLatin1StringView("picture"), QLatin1StringView("pictures")},
        {QLatin1StringView("Object"), QLatin1StringView("object"), QLatin1StringView("objects")},
        {QLatin1StringView("Text"), QLatin1StringView("text run"), QLatin1StringView("text runs")},
        {QLatin1StringView(), QLatin1StringView("other part"), QLatin1StringView("other parts")}};
    for (const QString& note : notes) {
        Kind* kind = std::find_if(std::begin(kinds), std::end(kinds) - 1, [&](const Kind& k) {
            return note.startsWith(k.firstWord + QLatin1Char(' '));
        });
        ++kind->count;
    }
    QStringList parts;
    for (const Kind& kind : kinds)
        if (kind.count > 0)
            parts << QStringLiteral("%1 %2")
                         .arg(kind.count)
                         .arg(kind.count == 1 ? kind.one : kind.many);
    if (parts.isEmpty()) return {};
    const QString last = parts.takeLast();
    const QString all =
        parts.isEmpty() ? last : parts.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return all + QStringLiteral(" could not be drawn");
}

QString StatusToolTip(const EntryOutcome& outcome) {
    QString tip = StatusWithReason(outcome);
    if (!outcome.pdfFile.isEmpty()) tip += QStringLiteral("\r\nPDF: ") + outcome.pdfFile;
    if (!outcome.undrawn.isEmpty()) {
        tip += QStringLiteral("\r\n") + UndrawnSummary(outcome.undrawn) + QLatin1Char(':');
        for (const QString& note :
             outcome.undrawn.first(std::min(outcome.undrawn.size(), kNotesInToolTip)))
            tip += QStringLiteral("\r\n") + note;
        if (outcome.undrawn.size() > kNotesInToolTip)
            tip += QStringLiteral("\r\n... and %1 more.")
                       .arg(outcome.undrawn.size() - kNotesInToolTip);
    }
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return tip;
}

QString ReportLine(const EntryOutcome& outcome) {
    QString line = EscapedText(outcome.path) + QLatin1Char('\t') +
                   statusField(StatusWithReason(outcome)) + QLatin1Char('\t') +
                   EscapedText(outcome.printer);
    if (!outcome.pdfFile.isEmpty()) line += QLatin1Char('\t') + EscapedText(outcome.pdfFile);
    return line;
}

bool AllSent(const std::vector<EntryOutcome>& outcomes) {
    return !outcomes.empty() && std::all_of(outcomes.begin(), outcomes.end(), [](const auto& o) {
        return o.result == EntryResult::Sent;
    });
}

int ExitCode(bool runStarted, const std::vector<EntryOutcome>& outcomes) {
    if (!runStarted) return kRunDidNotStart;
    return AllSent(outcomes) ? kAllSent : kSomeNotSent;
}

}  // namespace pbp
