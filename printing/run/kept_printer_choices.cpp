#include "printing/run/kept_printer_choices.h"

#include "support/error_handling.h"
#include "support/settings_store.h"

namespace pbp {

printers::PrinterChoices KeptPrinterChoices(const QString& printerName) {
    printers::PrinterChoices choices;
    IgnoringErrors([&] { choices = settingsStore().printerOptions(printerName); });
    return choices;
}

void KeepPrinterChoices(const QString& printerName, const printers::PrinterChoices& choices) {
    try {
        settingsStore().keepPrinterOptions(printerName, choices);
    } catch (const SettingsStoreError& error) {
        throw VbError(1001, error.description());
    }
}

}  // namespace pbp
