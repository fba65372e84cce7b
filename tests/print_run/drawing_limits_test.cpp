#include <gtest/gtest.h>

#include "printing/run/drawing_limits.h"
#include "support/mod_registry_api.h"
#include "tests/common/fake_platform.h"

namespace pbp::test {

namespace {
const QString kKey = QStringLiteral("Software\\Corvane\\PlenTools_2003\\PlenBatchPrint 2003");
}  // namespace

// Defaults, then the settings store, then the environment; values out of range count as unset.
TEST(DrawingLimits, ComeFromTheEnvironmentElseTheSettingsStoreElseTheDefaults) {
    ScopedFakePlatform fake;
    for (const char* variable :
         {"PLENBATCHPRINT_WORKER", "PLENBATCHPRINT_TIME_LIMIT", "PLENBATCHPRINT_MEMORY_LIMIT"})
        qunsetenv(variable);
    visio::WorkerSettings settings = DrawingWorkerSettings(QStringLiteral("/opt/pbp"));
    EXPECT_EQ(settings.program, QStringLiteral("/opt/pbp/plenbatchprint-worker"));
    EXPECT_EQ(settings.timeLimit.count(), 60);
    EXPECT_EQ(settings.memoryLimitMiB, 2048);
    EXPECT_GE(settings.workers, 1);
    EXPECT_LE(settings.workers, 8);

    AddRegistryKey(HKEY_CURRENT_USER, kKey);
    WriteRegistryString(HKEY_CURRENT_USER, kKey, QStringLiteral("DrawingTimeLimit"), "90");
    WriteRegistryString(HKEY_CURRENT_USER, kKey, QStringLiteral("DrawingMemoryLimit"), "10");
    settings = DrawingWorkerSettings(QStringLiteral("/opt/pbp"));
    EXPECT_EQ(settings.timeLimit.count(), 90);
    EXPECT_EQ(settings.memoryLimitMiB, 2048);

    qputenv("PLENBATCHPRINT_TIME_LIMIT", "5");
    qputenv("PLENBATCHPRINT_MEMORY_LIMIT", "512");
    qputenv("PLENBATCHPRINT_WORKER", "/elsewhere/worker");
    settings = DrawingWorkerSettings(QStringLiteral("/opt/pbp"));
    EXPECT_EQ(settings.timeLimit.count(), 5);
    EXPECT_EQ(settings.memoryLimitMiB, 512);
    EXPECT_EQ(settings.program, QStringLiteral("/elsewhere/worker"));
    for (const char* variable :
         {"PLENBATCHPRINT_WORKER", "PLENBATCHPRINT_TIME_LIMIT", "PLENBATCHPRINT_MEMORY_LIMIT"})
        qunsetenv(variable);
}

}  // namespace pbp::test
