#pragma once

#include <QRect>
#include <QWidget>
#include <QtMath>
#include <algorithm>

namespace pbp {

// Window sizes and positions are kept in twips, at 15 twips per pixel (96 dpi).
inline constexpr int kTwipsPerPixel = 15;

inline int toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
inline int toPixels(int twips) {
    return qRound(double(twips) / kTwipsPerPixel);
}
// The smallest pixel count that covers `twips`.
inline int toPixelsAtLeast(int twips) {
    return qCeil(double(twips) / kTwipsPerPixel);
}

// A control's geometry in twips, in its parent's coordinates.
struct TwipsRect {
    int left, top, width, height;
};

inline void placeInTwips(QWidget& widget, TwipsRect r) {
    widget.setGeometry(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
}

// Places a control showing a caption (label, button, check box) at its design place, made
// wider or taller where the caption in the current font would not fit the design size.
inline void placeCaptionInTwips(QWidget& widget, TwipsRect r) {
    placeInTwips(widget, r);
    const QSize needed = widget.sizeHint();
    widget.resize(std::max(widget.width(), needed.width()),
                  std::max(widget.height(), needed.height()));
}

inline int leftTwips(const QWidget& w) {
    return toTwips(w.x());
}
inline int topTwips(const QWidget& w) {
    return toTwips(w.y());
}
inline int widthTwips(const QWidget& w) {
    return toTwips(w.width());
}
inline int heightTwips(const QWidget& w) {
    return toTwips(w.height());
}
inline void setLeftTwips(QWidget& w, int twips) {
    w.move(toPixels(twips), w.y());
}
inline void setTopTwips(QWidget& w, int twips) {
    w.move(w.x(), toPixels(twips));
}
inline void setWidthTwips(QWidget& w, int twips) {
    w.resize(toPixels(twips), w.height());
}
inline void setHeightTwips(QWidget& w, int twips) {
    w.resize(w.width(), toPixels(twips));
}

}  // namespace pbp
