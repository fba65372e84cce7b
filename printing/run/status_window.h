#pragma once

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace pbp {

// The status window as the print run drives it: shown once before the first drawing, given a
// step text and a percentage for every step, unloaded by destroying it.
class StatusWindow {
  public:
    virtual ~StatusWindow() = default;
    virtual void Display() = 0;
    virtual void Value(const QString& sDescription, qint32 lNewValue) = 0;
};

using StatusWindowFactory = std::function<std::unique_ptr<StatusWindow>(QWidget* owner)>;

// Creates the status window for one run, owned by `owner` (may be null).
std::unique_ptr<StatusWindow> CreateStatusWindow(QWidget* owner);

// Replaces how status windows are made (tests record the texts); an empty factory restores
// the program's own window.
void SetStatusWindowFactory(StatusWindowFactory factory);

}  // namespace pbp
