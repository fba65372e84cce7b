#include "support/display_check.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace pbp {

namespace {

// The answer of a check that runs on a thread of its own, which may outlive the wait.
struct PendingAnswer {
    std::mutex mutex;
    std::condition_variable ready;
    std::optional<bool> answer;
};

// xcb_connect has no timeout: it waits for the server's reply to the connection setup as long
// as the socket stays open. It runs on a detached thread, and a display that has not answered
// by the deadline counts as gone (the thread stays blocked until the process ends).
bool xDisplayAnswers(std::chrono::milliseconds deadline) {
    auto pending = std::make_shared<PendingAnswer>();
    std::thread([pending] {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        const bool answers = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
        const std::lock_guard lock(pending->mutex);
        pending->answer = answers;
        pending->ready.notify_one();
    }).detach();
    std::unique_lock lock(pending->mutex);
    pending->ready.wait_for(lock, deadline, [&] { return pending->answer.has_value(); });
    return pending->answer.value_or(false);
}

// WAYLAND_DISPLAY is a socket name in $XDG_RUNTIME_DIR, or an absolute path. The connection
// is made without blocking: a compositor whose queue is full counts as gone.
bool waylandDisplayAnswers(const QString& name, std::chrono::milliseconds deadline) {
    const QString path = name.startsWith(QLatin1Char('/'))
                             ? name
                             : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + name;
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(encoded.size()) >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (!answers && errno == EINPROGRESS) {
        pollfd waiting{fd, POLLOUT, 0};
        answers = ::poll(&waiting, 1, int(deadline.count())) == 1 && waiting.revents == POLLOUT;
    }
    ::close(fd);
    return answers;
}

// Whether Qt can load its Wayland platform plugin (Debian package qt6-wayland), looked for
// where Qt looks: QT_QPA_PLATFORM_PLUGIN_PATH, else "platforms" in each plugin folder.
bool waylandPluginInstalled() {
    QStringList folders;
    const QString platformPath = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!platformPath.isEmpty()) {
        folders = platformPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    } else {
        for (const QString& folder : QCoreApplication::libraryPaths())
            folders << folder + QStringLiteral("/platforms");
    }
    for (const QString& folder : folders)
        if (!QDir(folder).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty())
            return true;
    return false;
}

bool waylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

}  // namespace

DisplayCheck CheckDisplay(std::chrono::milliseconds deadline) {
    const QString x = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (x.isEmpty() && wayland.isEmpty())
        return {false, QStringLiteral("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)")};
    const bool xAnswers = !x.isEmpty() && xDisplayAnswers(deadline);
    const bool waylandAnswers = !wayland.isEmpty() && waylandDisplayAnswers(wayland, deadline);
    const bool waylandUsable = waylandAnswers && waylandPluginInstalled();
    if (!xAnswers && !waylandUsable) {
        if (waylandAnswers)
            return {false, QStringLiteral("the Wayland display (WAYLAND_DISPLAY=%1) answers, but "
                                          "Qt's Wayland platform plugin is not installed "
                                          "(Debian package qt6-wayland), and no X display "
                                          "answers")
                               .arg(wayland)};
        QStringList tried;
        if (!x.isEmpty()) tried << QStringLiteral("DISPLAY=") + x;
        if (!wayland.isEmpty()) tried << QStringLiteral("WAYLAND_DISPLAY=") + wayland;
        return {false, QStringLiteral("the display cannot be reached or does not answer within "
                                      "%1 s (%2)")
                           .arg(deadline.count() / 1000.0)
                           .arg(tried.join(QStringLiteral(", ")))};
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        QStringList platforms;
        if (xAnswers) platforms << QStringLiteral("xcb");
        if (waylandUsable) {
            if (waylandSession())
                platforms.prepend(QStringLiteral("wayland"));
            else
                platforms << QStringLiteral("wayland");
        }
        qputenv("QT_QPA_PLATFORM", platforms.join(QLatin1Char(';')).toUtf8());
    }
    return {true, QString()};
}

}  // namespace pbp
