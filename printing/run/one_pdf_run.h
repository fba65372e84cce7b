#pragma once

#include <QString>

#include "printing/run/batch_print_view.h"
#include "printing/run/print_command.h"

namespace pbp {

// What a print run into one PDF did.
struct OnePdfRunResult {
    PrintCommandResult run;
    bool written = false;  // the file was written complete
};

// The print command with every sheet of the run (the summary page first when it is ticked,
// then each drawing in list order) joined into the one PDF at `path`, each drawing printed as
// for the built-in PDF printer. The file is written only when the run ends, under a temporary
// name renamed when complete; a run that was cancelled, printed nothing or could not write it
// leaves any file at `path` as it was and says so in a message. A folder that cannot be
// written is found before anything is printed: the run then does not start.
OnePdfRunResult PrintIntoOnePdf(BatchPrintView& view, const QString& path);

}  // namespace pbp
