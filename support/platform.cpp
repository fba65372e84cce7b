#include "support/platform.h"

#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

namespace pbp {

namespace {
Platform& current() {
    static Platform instance;
    return instance;
}
}  // namespace

Platform& platform() {
    return current();
}

void setPlatform(const Platform& replacement) {
    current() = replacement;
}

QString defaultRegistryFile() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/PlenBatchPrint/settings.ini");
}

bool isHeadless() {
    if (qGuiApp) return QGuiApplication::platformName() == QLatin1String("offscreen");
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace pbp
