#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "support/file_identity.h"

namespace pbp {

// What became of one list entry in a print run.
// Cancelled: the run was cancelled before the entry was printed.
enum class EntryResult {
    NotReached,
    Sent,
    OpenFailed,
    PrintFailed,
    OnlyBackgroundPages,
    Cancelled
};

// One entry's outcome. The status column, the tooltip, the silent run's report and its exit
// code are all worked out from these values.
struct EntryOutcome {
    EntryResult result = EntryResult::NotReached;
    QString path;     // the entry as listed
    QString printer;  // the printer the entry was meant for; empty when it was not reached
    QString pdfFile;  // the file the built-in PDF printer wrote; empty for every other printer
    FileIdentity identity;  // the drawing's file as it was when the run opened it
    // Why opening or printing failed, as the engine or the printer said it.
    qint32 errorNumber = 0;
    QString errorDescription;
    // What the engine could not draw of a drawing it printed, one note each.
    QStringList undrawn;
};

// The status column's text; empty for an entry the run did not reach (it keeps its old text).
QString StatusText(const EntryOutcome& outcome);

// The status with the engine's reason after an open failure's text; the same as StatusText
// for every other outcome, and "Not printed: the run stopped before this entry." for an
// entry that was not reached.
QString StatusWithReason(const EntryOutcome& outcome);

// What could not be drawn, counted by kind: "2 pictures could not be drawn"; empty when
// everything was drawn. A note names its kind with its first word (Picture, Object, Text).
QString UndrawnSummary(const QStringList& notes);

// The list cell's tooltip: StatusWithReason, the PDF's path when the PDF printer wrote one, and
// what could not be drawn with the first notes.
QString StatusToolTip(const EntryOutcome& outcome);

// One line of the silent run's report, without its line end: path, tab, status with reason
// (its CR LF line breaks shown as spaces), tab, printer, and for the PDF printer a tab and the
// PDF's path; every field with backslashes and control characters escaped (EscapedText), so
// that no file name can split or add a line.
QString ReportLine(const EntryOutcome& outcome);

// The silent run's exit code: 2 when the run did not start, 0 when every entry was sent,
// else 1.
int ExitCode(bool runStarted, const std::vector<EntryOutcome>& outcomes);

// True when every outcome is Sent (an empty run counts as not sent).
bool AllSent(const std::vector<EntryOutcome>& outcomes);

}  // namespace pbp
