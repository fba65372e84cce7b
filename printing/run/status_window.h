#pragma once

#include <QString>

namespace pbp {

// The status window as the print run drives it: shown once before the first drawing, given a
// step text and a percentage for every step, unloaded by destroying it. The batch window makes
// it (BatchPrintView::openStatusWindow).
class StatusWindow {
  public:
    virtual ~StatusWindow() = default;
    virtual void Display() = 0;
    virtual void Value(const QString& sDescription, qint32 lNewValue) = 0;
};

}  // namespace pbp
