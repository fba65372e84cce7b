#include "printing/run/drawing_limits.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

#include "printing/engine/worker_pool.h"
#include "support/error_handling.h"
#include "support/mod_registry_api.h"

namespace pbp {

namespace {

std::optional<qint64> wholeNumber(const QString& text, qint64 low, qint64 high) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return value;
}

// The run's own value, else the environment variable, else the stored value (a DWORD or a
// text), when it is in range.
std::optional<qint64> limit(std::optional<int> given, const char* variable,
                            const QString& valueName, qint64 low, qint64 high) {
    if (given && *given >= low && *given <= high) return *given;
    if (qEnvironmentVariableIsSet(variable))
        if (const auto value = wholeNumber(qEnvironmentVariable(variable), low, high)) return value;
    std::optional<qint64> stored;
    IgnoringErrors([&] {
        const QVariant value = GetRegistryValue(HKEY_CURRENT_USER, kProgramSettingsKey, valueName);
        if (value.isValid()) stored = wholeNumber(value.toString(), low, high);
    });
    return stored;
}

}  // namespace

visio::WorkerSettings DrawingWorkerSettings(const QString& programFolder,
                                            const DrawingLimits& limits) {
    QString program = qEnvironmentVariable("PLENBATCHPRINT_WORKER");
    if (program.isEmpty()) {
        // Beside the program in the build tree; in libexec once installed.
        const QString name = QStringLiteral("/plenbatchprint-worker");
        program = programFolder + name;
        const QString installed = QDir::cleanPath(
            programFolder + QStringLiteral("/" PLEN_WORKER_FROM_PROGRAM_FOLDER) + name);
        if (!QFileInfo::exists(program) && QFileInfo::exists(installed)) program = installed;
    }
    visio::WorkerSettings settings = visio::defaultWorkerSettings(program);
    if (const auto seconds = limit(limits.timeLimitSeconds, "PLENBATCHPRINT_TIME_LIMIT",
                                   QStringLiteral("DrawingTimeLimit"), 1, 86400))
        settings.timeLimit = std::chrono::seconds(*seconds);
    if (const auto mib = limit(limits.memoryLimitMiB, "PLENBATCHPRINT_MEMORY_LIMIT",
                               QStringLiteral("DrawingMemoryLimit"), 64, 1 << 20))
        settings.memoryLimitMiB = *mib;
    return settings;
}

}  // namespace pbp
