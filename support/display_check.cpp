#include "support/display_check.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QFile>
#include <QStringList>
#include <cstring>

namespace pbp {

namespace {

bool xDisplayAnswers() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// WAYLAND_DISPLAY is a socket name in $XDG_RUNTIME_DIR, or an absolute path.
bool waylandDisplayAnswers(const QString& name) {
    const QString path = name.startsWith(QLatin1Char('/'))
                             ? name
                             : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + name;
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(encoded.size()) >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answers =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answers;
}

}  // namespace

DisplayCheck CheckDisplay() {
    const QString x = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (x.isEmpty() && wayland.isEmpty())
        return {false, QStringLiteral("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)")};
    const bool xAnswers = !x.isEmpty() && xDisplayAnswers();
    const bool waylandAnswers = !wayland.isEmpty() && waylandDisplayAnswers(wayland);
    if (!xAnswers && !waylandAnswers) {
        QStringList tried;
        if (!x.isEmpty()) tried << QStringLiteral("DISPLAY=") + x;
        if (!wayland.isEmpty()) tried << QStringLiteral("WAYLAND_DISPLAY=") + wayland;
        return {false, QStringLiteral("the display cannot be reached (%1)")
                           .arg(tried.join(QStringLiteral(", ")))};
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !x.isEmpty() && !wayland.isEmpty() &&
        xAnswers != waylandAnswers)
        qputenv("QT_QPA_PLATFORM", xAnswers ? "xcb" : "wayland");
    return {true, QString()};
}

}  // namespace pbp
