#include "printing/run/kept_printer_choices.h"

#include "support/error_handling.h"
#include "support/mod_registry_api.h"
#include "support/settings_store.h"

namespace pbp {

QString RememberedPrinter() {
    QString stored;
    IgnoringErrors([&] {
        stored = ReadRegistryString(HKEY_CURRENT_USER, kProgramSettingsKey, kDefaultPrinterValue);
    });
    QStringView name(stored);
    while (name.startsWith(u' ')) name = name.sliced(1);
    while (name.endsWith(u' ')) name.chop(1);
    return name.toString();
}

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
