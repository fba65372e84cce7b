// The settings store on any file content, as its own file and as an earlier version's
// registry.json beside a missing one: it either reads the values or reports a damaged file.

#include "support/old_registry.h"
#include "support/settings_store.h"
#include "tests/fuzz/fuzz_target.h"

PLEN_FUZZ_TARGET(settings_store) {
    pbp::fuzz::prepare();
    pbp::SettingsStore store(pbp::fuzz::writeInputFile(data, size, QStringLiteral("settings.ini")));
    try {
        store.names(QStringLiteral("PrinterOptions/printer"));
        store.value(QString(), QStringLiteral("DefaultPrinter"));
    } catch (const pbp::SettingsStoreError&) {
    }
    pbp::oldRegistryValues(pbp::fuzz::bytes(data, size));
    return 0;
}
