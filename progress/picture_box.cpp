#include "progress/picture_box.h"

#include <QPainter>

namespace pbp {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    backColor_ = palette().color(QPalette::Button);
    foreColor_ = palette().color(QPalette::WindowText);
}

void PictureBox::setBackColor(const QColor& color) {
    backColor_ = color;
    syncDrawingSize();
    drawing_.fill(color);
    update();
}

void PictureBox::setWidthTwips(int twips) {
    resize(toPixels(twips), height());
}

void PictureBox::fillBox(const QRect& box, const QColor& color) {
    syncDrawingSize();
    if (box.width() > 0 && box.height() > 0 && !drawing_.isNull()) {
        QPainter painter(&drawing_);
        painter.fillRect(box, color);
    }
    update();
    emit drawn();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), drawing_);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    syncDrawingSize();
    emit resized();
}

void PictureBox::syncDrawingSize() {
    const QSize inner = contentsRect().size();
    if (inner == drawing_.size()) return;
    if (inner.isEmpty()) {
        drawing_ = QImage();
        return;
    }
    QImage grown(inner, QImage::Format_RGB32);
    grown.fill(backColor_);
    if (!drawing_.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(0, 0, drawing_);
    }
    drawing_ = std::move(grown);
}

}  // namespace pbp
