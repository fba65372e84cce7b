#pragma once

#include <QLabel>

namespace pbp {

// A label that reports a left-button click released over it, used as a web link.
class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace pbp
