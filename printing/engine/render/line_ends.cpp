#include "printing/engine/render/line_ends.h"

#include <QTransform>
#include <cmath>

namespace pbp::render {

namespace {

constexpr int kDepthSamples = 128;
constexpr int kLengthSamples = 16;

struct Segment {
    QPointF p[4];  // a line uses p[0] and p[1]; a cubic all four
    bool cubic = false;
    QPointF start() const { return p[0]; }
    QPointF end() const { return cubic ? p[3] : p[1]; }
};

struct SubPath {
    QPointF first;
    std::vector<Segment> segments;
    bool closed() const { return !segments.empty() && segments.back().end() == first; }
};

std::vector<SubPath> subPaths(const QPainterPath& path) {
    std::vector<SubPath> result;
    const int n = path.elementCount();
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo() || result.empty()) {
            result.push_back({QPointF(e), {}});
            if (e.isMoveTo()) continue;
        }
        SubPath& sub = result.back();
        const QPointF from = sub.segments.empty() ? sub.first : sub.segments.back().end();
        if (e.isCurveTo() && i + 2 < n) {
            sub.segments.push_back(
                {{from, QPointF(e), QPointF(path.elementAt(i + 1)), QPointF(path.elementAt(i + 2))},
                 true});
            i += 2;
        } else {
            sub.segments.push_back({{from, QPointF(e)}, false});
        }
    }
    return result;
}

QPointF cubicAt(const Segment& s, qreal t) {
    const qreal u = 1 - t;
    return u * u * u * s.p[0] + 3 * u * u * t * s.p[1] + 3 * u * t * t * s.p[2] +
           t * t * t * s.p[3];
}

qreal distance(const QPointF& a, const QPointF& b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// The segment's first part up to parameter t (De Casteljau).
Segment cubicHead(const Segment& s, qreal t) {
    const QPointF a = s.p[0] + t * (s.p[1] - s.p[0]), b = s.p[1] + t * (s.p[2] - s.p[1]),
                  c = s.p[2] + t * (s.p[3] - s.p[2]);
    const QPointF ab = a + t * (b - a), bc = b + t * (c - b);
    return {{s.p[0], a, ab, ab + t * (bc - ab)}, true};
}

Segment reversed(const Segment& s) {
    return s.cubic ? Segment{{s.p[3], s.p[2], s.p[1], s.p[0]}, true}
                   : Segment{{s.p[1], s.p[0]}, false};
}

// The segment without its last `inset` points of length; never less than half of it.
Segment shortenEnd(const Segment& s, qreal inset) {
    if (inset <= 0) return s;
    if (!s.cubic) {
        const qreal length = distance(s.p[0], s.p[1]);
        if (length == 0) return s;
        const qreal keep = std::max(length / 2, length - inset) / length;
        return {{s.p[0], s.p[0] + keep * (s.p[1] - s.p[0])}, false};
    }
    // Walk back from the end along the curve until `inset` is covered.
    qreal covered = 0, t = 1;
    QPointF previous = s.p[3];
    for (int i = kLengthSamples - 1; i >= kLengthSamples / 2; --i) {
        const qreal ti = qreal(i) / kLengthSamples;
        const QPointF p = cubicAt(s, ti);
        covered += distance(p, previous);
        previous = p;
        t = ti;
        if (covered >= inset) break;
    }
    return cubicHead(s, t);
}

// The direction of travel into the segment's end point; null when it has no length there.
QPointF directionAtEnd(const Segment& s) {
    const QPointF end = s.end();
    for (int i = s.cubic ? 2 : 0; i >= 0; --i)
        if (s.p[i] != end) return end - s.p[i];
    return {};
}

void addMarker(QPainterPath& out, const Marker& marker, const QPointF& tip,
               const QPointF& direction) {
    if (!marker.present() || direction.isNull()) return;
    // The marker's tip points towards -y in its own space: turn that onto the direction.
    QTransform t;
    t.translate(tip.x(), tip.y());
    t.rotateRadians(std::atan2(direction.x(), -direction.y()));
    t.scale(marker.widthPt, marker.widthPt);
    out.addPath(t.map(marker.outline));
}

void appendSegment(QPainterPath& out, const Segment& s) {
    if (s.cubic)
        out.cubicTo(s.p[1], s.p[2], s.p[3]);
    else
        out.lineTo(s.p[1]);
}

}  // namespace

qreal markerInsetPt(const Marker& marker, qreal lineWidthPt, Qt::PenCapStyle cap) {
    if (!marker.present() || marker.centered || lineWidthPt <= 0) return 0;
    const qreal half = lineWidthPt / 2 / marker.widthPt;  // in the marker's unit space
    if (half >= 0.5) return 0;
    const qreal depth = marker.outline.boundingRect().bottom();
    for (int i = 0; i <= kDepthSamples; ++i) {
        const qreal y = depth * i / kDepthSamples;
        if (marker.outline.contains(QPointF(-half, y)) &&
            marker.outline.contains(QPointF(half, y)) && marker.outline.contains(QPointF(0, y)))
            return y * marker.widthPt + (cap == Qt::FlatCap ? 0 : lineWidthPt / 2);
    }
    return 0;
}

LineEnds placeLineEnds(const QPainterPath& path, const Stroke& stroke) {
    const bool any = stroke.start.present() || stroke.end.present();
    if (!any) return {path, {}};
    LineEnds ends;
    ends.stroke.setFillRule(path.fillRule());
    for (SubPath& sub : subPaths(path)) {
        const bool closed = sub.closed();
        if (!sub.segments.empty() && !closed) {
            Segment& head = sub.segments.front();
            Segment& tail = sub.segments.back();
            addMarker(ends.markers, stroke.start, head.start(), directionAtEnd(reversed(head)));
            addMarker(ends.markers, stroke.end, tail.end(), directionAtEnd(tail));
            if (stroke.end.present()) tail = shortenEnd(tail, stroke.endInsetPt);
            if (stroke.start.present())
                head = reversed(shortenEnd(reversed(head), stroke.startInsetPt));
            sub.first = head.start();
        }
        ends.stroke.moveTo(sub.first);
        for (const Segment& s : sub.segments) appendSegment(ends.stroke, s);
        if (closed) ends.stroke.closeSubpath();
    }
    return ends;
}

}  // namespace pbp::render
