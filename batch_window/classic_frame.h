#pragma once

#include <QGroupBox>

namespace pbp {

// A group box drawn as a classic frame: the caption sits on the frame's top line, near its
// left end, instead of above the frame as some styles draw it. Children keep their places.
class ClassicFrame : public QGroupBox {
    Q_OBJECT

  public:
    using QGroupBox::QGroupBox;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pbp
