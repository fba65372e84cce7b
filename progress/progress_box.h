#pragma once

#include "progress/picture_box.h"

namespace pbp {

// The picture box a progress bar is drawn on, known to assistive technology as a progress bar
// (role ProgressBar) whose value is the bar's: a screen reader can read how far a run is.
class ProgressBox : public PictureBox {
    Q_OBJECT
  public:
    explicit ProgressBox(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    // Stores the value and tells assistive technology that it changed.
    void setValue(int value);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int value() const { return value_; }

  private:
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
};

}  // namespace pbp
