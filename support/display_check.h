#pragma once

#include <QString>

namespace pbp {

// Whether the display named by DISPLAY or WAYLAND_DISPLAY can be reached, checked before the
// application picks its window-system platform (which aborts the process when its display is
// gone). X is checked by connecting with libxcb, Wayland by connecting to its socket.
struct DisplayCheck {
    bool reachable = false;
    QString problem;  // why not, for the message of an interactive start
};

// Checks the display. When both are named, only one of X and Wayland answers and
// QT_QPA_PLATFORM is not set, sets it to the one that answers ("xcb" or "wayland"), so that the
// application does not pick the other.
DisplayCheck CheckDisplay();

}  // namespace pbp
