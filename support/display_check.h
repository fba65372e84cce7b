#pragma once

#include <QString>
#include <chrono>

namespace pbp {

// Whether the display named by DISPLAY or WAYLAND_DISPLAY can be used for the batch window,
// checked before the application picks its window-system platform (which aborts the process
// when its display is gone). X is checked by connecting with libxcb, Wayland by connecting to
// its socket; a display that accepts the connection but does not answer within the deadline
// counts as unreachable. Wayland counts only when Qt's Wayland platform plugin is installed.
struct DisplayCheck {
    bool reachable = false;
    QString problem;  // why not, for the message of an interactive start
};

inline constexpr std::chrono::milliseconds kDisplayDeadline{2000};

// Checks the display. Unless QT_QPA_PLATFORM is set, sets it to the platforms that answer
// ("xcb", "wayland", or both as a fallback list in the session's order), so that Qt never
// picks one that is gone or whose plugin is missing.
DisplayCheck CheckDisplay(std::chrono::milliseconds deadline = kDisplayDeadline);

}  // namespace pbp
