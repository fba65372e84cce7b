#pragma once

#include "printing/printers/printer_choices.h"

namespace pbp {

// The settings store value that remembers the printer last chosen in the window.
inline const QString kDefaultPrinterValue = QStringLiteral("DefaultPrinter");

// The remembered printer without the spaces around it (an empty choice is stored as one
// space); empty when there is none or the store cannot be read.
QString RememberedPrinter();

// The option choices kept for a printer in the settings store, in the group
// "PrinterOptions/<printer>", one text value per option (empty: the printer's default). The
// store reads its file again only when it changed, so a run of many jobs reads it once. A
// store that cannot be read keeps none.
printers::PrinterChoices KeptPrinterChoices(const QString& printerName);

// Keeps these choices for the printer, replacing the values of the options they name; raises
// VbError when the store cannot be written.
void KeepPrinterChoices(const QString& printerName, const printers::PrinterChoices& choices);

}  // namespace pbp
