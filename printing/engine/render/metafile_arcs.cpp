#include "printing/engine/render/metafile_arcs.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <vector>

#include "printing/engine/render/little_endian.h"

namespace pbp::render {

namespace {

using namespace little_endian;

// Segments a whole turn of an ellipse is drawn with: closer than a tenth of a point to the
// ellipse for pictures up to two inches across.
constexpr int kSegmentsPerTurn = 96;
// An arc record grows up to twenty times; a metafile of nothing but arcs is left as it is
// beyond this size rather than allocating without bound.
constexpr qsizetype kMaxRewrittenBytes = qsizetype(64) << 20;

// Where a metafile's logical coordinates and the device it was drawn for disagree on which
// way round is clockwise: arcs turn counter-clockwise on the device.
struct Orientation {
    int mapMode = 1;  // MM_TEXT
    qint64 windowX = 1, windowY = 1, viewportX = 1, viewportY = 1;

    bool flipped() const {
        if (mapMode >= 2 && mapMode <= 6) return true;  // the metric and English modes: y up
        if (mapMode == 7 || mapMode == 8)               // (an)isotropic: the extents' signs
            return (windowX * viewportX < 0) != (windowY * viewportY < 0);
        return false;
    }
};

// Points from angle `from` through `sweep` (radians) on the ellipse about `centre` with radii
// `rx`, `ry`, in coordinates where the angle grows clockwise on a y-down page.
std::vector<QPointF> ellipsePoints(QPointF centre, double rx, double ry, double from,
                                   double sweep) {
    const int segments =
        std::max(2, int(std::ceil(std::abs(sweep) / (2 * M_PI) * kSegmentsPerTurn)));
    std::vector<QPointF> points;
    points.reserve(std::size_t(segments) + 1);
    for (int i = 0; i <= segments; ++i) {
        const double t = from + sweep * i / segments;
        points.emplace_back(centre.x() + rx * std::cos(t), centre.y() + ry * std::sin(t));
    }
    return points;
}

// The arc that GDI draws on the ellipse inscribed in `box` from the radial through `start`
// to the radial through `end`; radials that meet give the whole ellipse.
std::vector<QPointF> boxArc(const QRectF& box, QPointF start, QPointF end, bool clockwise) {
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    const auto angle = [&](QPointF p) {
        return std::atan2(ry > 0 ? (p.y() - c.y()) / ry : p.y() - c.y(),
                          rx > 0 ? (p.x() - c.x()) / rx : p.x() - c.x());
    };
    const double from = angle(start);
    double sweep = angle(end) - from;
    if (clockwise) {
        while (sweep <= 0) sweep += 2 * M_PI;
    } else {
        while (sweep >= 0) sweep -= 2 * M_PI;
    }
    return ellipsePoints(c, rx, ry, from, sweep);
}

// EMF records (MS-EMF 2.1.1).
constexpr quint32 kEmrHeader = 1, kEmrPolygon = 3, kEmrPolyline = 4, kEmrPolylineTo = 6,
                  kEmrSetWindowExtEx = 9, kEmrSetViewportExtEx = 11, kEmrEof = 14,
                  kEmrSetMapMode = 17, kEmrAngleArc = 41, kEmrArc = 45, kEmrChord = 46,
                  kEmrPie = 47, kEmrArcTo = 55, kEmrSetArcDirection = 57;
constexpr quint32 kAdClockwise = 2;

QRectF emfBox(const QByteArray& emf, qsizetype at) {
    const double left = le32s(emf, at), top = le32s(emf, at + 4), right = le32s(emf, at + 8),
                 bottom = le32s(emf, at + 12);
    return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
}

QPointF emfPoint(const QByteArray& emf, qsizetype at) {
    return QPointF(le32s(emf, at), le32s(emf, at + 4));
}

QByteArray emfPolyRecord(quint32 type, const std::vector<QPointF>& points) {
    std::vector<QPoint> rounded;
    rounded.reserve(points.size());
    for (const QPointF& p : points) rounded.push_back(p.toPoint());
    QRect bounds;
    for (const QPoint& p : rounded) bounds |= QRect(p, QSize(1, 1));
    QByteArray record;
    put32(record, type);
    put32(record, quint32(28 + 8 * rounded.size()));
    for (int v : {bounds.left(), bounds.top(), bounds.right(), bounds.bottom()})
        put32(record, quint32(v));
    put32(record, quint32(rounded.size()));
    for (const QPoint& p : rounded) {
        put32(record, quint32(p.x()));
        put32(record, quint32(p.y()));
    }
    return record;
}

// The records that draw the same as the arc record at `at`, or an empty array for any other.
// `clockwise`: the arc direction the metafile set; `flipped`: its logical space is a mirror
// image of the device.
QByteArray emfArcReplacement(const QByteArray& emf, qsizetype at, quint32 type, quint32 size,
                             bool clockwise, bool flipped) {
    if (type == kEmrAngleArc && size >= 28) {
        const QPointF centre = emfPoint(emf, at + 8);
        const double r = le32(emf, at + 16);
        // Counter-clockwise from the x axis as the device shows it, whatever the arc direction.
        const double turn = flipped ? M_PI / 180 : -M_PI / 180;
        const double from = leFloat(emf, at + 20) * turn;
        const double sweep = std::clamp(leFloat(emf, at + 24) * turn, -2 * M_PI, 2 * M_PI);
        if (!std::isfinite(from) || !std::isfinite(sweep)) return {};
        return emfPolyRecord(kEmrPolylineTo, ellipsePoints(centre, r, r, from, sweep));
    }
    if ((type != kEmrArc && type != kEmrArcTo && type != kEmrChord && type != kEmrPie) || size < 40)
        return {};
    const QRectF box = emfBox(emf, at + 8);
    std::vector<QPointF> points =
        boxArc(box, emfPoint(emf, at + 24), emfPoint(emf, at + 32), clockwise != flipped);
    switch (type) {
        case kEmrArc:
            return emfPolyRecord(kEmrPolyline, points);
        case kEmrArcTo:  // a line from the current position to the arc, which then ends there
            return emfPolyRecord(kEmrPolylineTo, points);
        case kEmrPie:
            points.push_back(box.center());
            return emfPolyRecord(kEmrPolygon, points);
        default:
            return emfPolyRecord(kEmrPolygon, points);
    }
}

// WMF records (MS-WMF 2.1.1.1).
constexpr quint16 kMetaSetMapMode = 0x0103, kMetaSetWindowExt = 0x020C,
                  kMetaSetViewportExt = 0x020E, kMetaPolygon = 0x0324, kMetaPolyline = 0x0325,
                  kMetaArc = 0x0817, kMetaPie = 0x081A, kMetaChord = 0x0830;
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;

// A point as WMF's 16-bit coordinate, clamped before rounding so any double stays defined.
qint16 wmfCoordinate(double v) {
    return std::isfinite(v) ? qint16(std::lround(std::clamp(v, -32768.0, 32767.0))) : 0;
}

QByteArray wmfPolyRecord(quint16 function, const std::vector<QPointF>& points) {
    QByteArray record;
    put32(record, quint32(4 + 2 * points.size()));
    put16(record, function);
    put16(record, quint16(points.size()));
    for (const QPointF& p : points) {
        put16(record, quint16(wmfCoordinate(p.x())));
        put16(record, quint16(wmfCoordinate(p.y())));
    }
    return record;
}

}  // namespace

QByteArray emfWithArcsAsPolygons(const QByteArray& emf) {
    if (emf.size() < 88 || le32(emf, 0) != kEmrHeader) return emf;
    Orientation orientation;
    bool clockwise = false;
    bool replaced = false;
    QByteArray out;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const quint32 type = le32(emf, at), size = le32(emf, at + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(emf.size() - at)) return emf;
        if (type == kEmrSetMapMode && size >= 12) orientation.mapMode = le32s(emf, at + 8);
        if (type == kEmrSetWindowExtEx && size >= 16) {
            orientation.windowX = le32s(emf, at + 8);
            orientation.windowY = le32s(emf, at + 12);
        }
        if (type == kEmrSetViewportExtEx && size >= 16) {
            orientation.viewportX = le32s(emf, at + 8);
            orientation.viewportY = le32s(emf, at + 12);
        }
        if (type == kEmrSetArcDirection && size >= 12)
            clockwise = le32(emf, at + 8) == kAdClockwise;
        const QByteArray replacement =
            emfArcReplacement(emf, at, type, size, clockwise, orientation.flipped());
        if (replacement.isEmpty()) {
            out.append(emf.constData() + at, size);
        } else {
            out.append(replacement);
            replaced = true;
        }
        at += size;
        if (out.size() > kMaxRewrittenBytes) return emf;
        if (type == kEmrEof) break;
    }
    if (!replaced) return emf;
    out.append(emf.constData() + at, emf.size() - at);
    qToLittleEndian<quint32>(quint32(out.size()), out.data() + 48);  // the header's nBytes
    return out;
}

QByteArray wmfWithArcsAsPolygons(const QByteArray& wmf) {
    const qsizetype header = wmf.size() >= 22 && le32(wmf, 0) == kPlaceableKey ? 22 : 0;
    if (wmf.size() < header + 18) return wmf;
    const qsizetype first = header + 2 * qsizetype(le16(wmf, header + 2));
    if (first < header + 18 || first > wmf.size()) return wmf;
    Orientation orientation;
    bool replaced = false;
    quint32 largest = 0;
    QByteArray out(wmf.constData(), first);
    qsizetype at = first;
    while (at + 6 <= wmf.size()) {
        const quint32 words = le32(wmf, at);
        const quint16 function = le16(wmf, at + 4);
        if (words < 3 || words > quint64(wmf.size() - at) / 2) return wmf;
        const qsizetype size = 2 * qsizetype(words);
        const auto param = [&](int i) { return double(le16s(wmf, at + 6 + 2 * i)); };
        if (function == kMetaSetMapMode && words >= 4) orientation.mapMode = int(param(0));
        if (function == kMetaSetWindowExt && words >= 5) {
            orientation.windowY = qint64(param(0));
            orientation.windowX = qint64(param(1));
        }
        if (function == kMetaSetViewportExt && words >= 5) {
            orientation.viewportY = qint64(param(0));
            orientation.viewportX = qint64(param(1));
        }
        QByteArray replacement;
        if ((function == kMetaArc || function == kMetaPie || function == kMetaChord) &&
            words >= 11) {
            // End y, end x, start y, start x, bottom, right, top, left.
            const QRectF box =
                QRectF(QPointF(param(7), param(6)), QPointF(param(5), param(4))).normalized();
            std::vector<QPointF> points =
                boxArc(box, QPointF(param(3), param(2)), QPointF(param(1), param(0)),
                       orientation.flipped());
            if (function == kMetaPie) points.push_back(box.center());
            replacement =
                wmfPolyRecord(function == kMetaArc ? kMetaPolyline : kMetaPolygon, points);
        }
        if (replacement.isEmpty()) {
            out.append(wmf.constData() + at, size);
            largest = std::max(largest, words);
        } else {
            out.append(replacement);
            largest = std::max(largest, quint32(replacement.size() / 2));
            replaced = true;
        }
        at += size;
        if (out.size() > kMaxRewrittenBytes) return wmf;
        if (function == 0) break;
    }
    if (!replaced) return wmf;
    out.append(wmf.constData() + at, wmf.size() - at);
    // The header's file size and largest record, both in 16-bit words.
    qToLittleEndian<quint32>(quint32((out.size() - header) / 2), out.data() + header + 6);
    qToLittleEndian<quint32>(largest, out.data() + header + 12);
    return out;
}

}  // namespace pbp::render
