#include "printing/run/kept_printer_choices.h"

#include "support/error_handling.h"
#include "support/mod_registry_api.h"

namespace pbp {

namespace {

QString printerKey(const QString& printerName) {
    return kProgramSettingsKey + QStringLiteral("\\PrinterOptions\\") + printerName;
}

}  // namespace

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
    IgnoringErrors([&] {
        for (const QString& entry :
             ListRegistryValues(HKEY_CURRENT_USER, printerKey(printerName))) {
            const qsizetype split = entry.indexOf(QStringLiteral("\\\\"));
            const QString value = entry.mid(split + 2).trimmed();
            if (split > 0 && !value.isEmpty()) choices.insert(entry.left(split), value);
        }
    });
    return choices;
}

void KeepPrinterChoices(const QString& printerName, const printers::PrinterChoices& choices) {
    AddRegistryKey(HKEY_CURRENT_USER, printerKey(printerName));
    for (auto it = choices.cbegin(); it != choices.cend(); ++it)
        WriteRegistryString(HKEY_CURRENT_USER, printerKey(printerName), it.key(), it.value());
}

}  // namespace pbp
