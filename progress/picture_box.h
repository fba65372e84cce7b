#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>

#include "progress/twips.h"

namespace pbp {

// A framed drawing surface that keeps what was drawn on it (nothing is cleared between
// drawings), with a fore and a back colour, its inner (scale) area in pixels and its outer
// width in twips.
class PictureBox : public QFrame {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    QColor foreColor() const { return foreColor_; }
    void setForeColor(const QColor& color) { foreColor_ = color; }
    QColor backColor() const { return backColor_; }
    // Also clears the drawing to the new colour.
    void setBackColor(const QColor& color);

    int scaleWidth() const { return contentsRect().width(); }
    int scaleHeight() const { return contentsRect().height(); }
    int widthTwips() const { return toTwips(width()); }
    void setWidthTwips(int twips);

    // Fills a box (outline and inside) in one colour, in inner-area pixels.
    void fillBox(const QRect& box, const QColor& color);
    const QImage& drawing() const { return drawing_; }

  signals:
    void resized();
    void drawn();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Keeps the drawing as large as the inner area (a hidden widget gets no resize events).
    void syncDrawingSize();

    QColor foreColor_;
    QColor backColor_;
    QImage drawing_;
};

}  // namespace pbp
