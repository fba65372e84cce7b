// The settings-store reader on any file content: it either reads the keys or reports a
// damaged file.

#include "support/registry_store.h"
#include "tests/fuzz/fuzz_target.h"

PLEN_FUZZ_TARGET(settings_store) {
    pbp::fuzz::prepare();
    const pbp::RegistryStore store(
        pbp::fuzz::writeInputFile(data, size, QStringLiteral("settings.json")));
    try {
        store.values(QStringLiteral("HKEY_CURRENT_USER\\Software\\Plen\\PlenBatchPrint"));
    } catch (const pbp::RegistryStoreError&) {
    }
    return 0;
}
