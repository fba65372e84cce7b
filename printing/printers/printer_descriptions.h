#pragma once

#include <QString>
#include <vector>

namespace pbp::printers {

// A printer as `--list-printers` shows it.
struct PrinterDescription {
    QString name;
    QString description;  // CUPS's printer-info, or where the built-in PDF printer writes
    QString state;        // "idle", "printing" or "stopped", ", rejecting jobs" when so
    bool isDefault = false;
};

// The CUPS queues in CUPS's order, then the built-in PDF printer; the default as the
// program's printer choice takes it (LPDEST, PRINTER, lpoptions, then the scheduler's).
std::vector<PrinterDescription> describePrinters();

// One line per printer: name, tab, description, tab, state, and a tab and "default" for the
// default printer.
QString printerListText(const std::vector<PrinterDescription>& printers);

}  // namespace pbp::printers
