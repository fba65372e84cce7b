#include "batch_window/classic_frame.h"

#include <QPainter>

namespace pbp {

namespace {
constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;
}  // namespace

void ClassicFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, metrics.height() / 2, -1, -1));
    const QRect caption(kCaptionIndent, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding,
                        metrics.height());
    painter.fillRect(caption, palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, title());
}

}  // namespace pbp
