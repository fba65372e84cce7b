#pragma once

#include <QString>

namespace pbp::printers {

class PrinterSystem;

// What `--list-printers` prints: one line per printer in the printer system's order: name, tab,
// description, tab, state ("idle", "printing" or "stopped", then ", rejecting jobs" and the
// queue's state message where there are), and a tab and "default" for the default printer.
// With no default set, the built-in PDF printer is the default when it is the only printer.
// `withOptions` (--long) follows each printer with one line per option it offers, as
// `lpoptions -l` shows them: two spaces, the name, ": ", the values with "*" before the default.
QString printerListText(const PrinterSystem& printers, bool withOptions = false);

}  // namespace pbp::printers
