#pragma once

#include <QString>

class QWidget;

namespace pbp {

// Gives `window` the icon resource `iconResourceName` (every size it holds). With
// setOwnerIcons, the top of the window's owner chain and the application get it too, so the
// task bar shows it. A failure is reported as modSetIcons.SetIcon.
void SetIcon(QWidget* window, const QString& iconResourceName, bool setOwnerIcons);

}  // namespace pbp
