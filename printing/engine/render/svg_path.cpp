#include "printing/engine/render/svg_path.h"

#include <librevenge/librevenge.h>

#include <QTransform>
#include <QtMath>
#include <cmath>

#include "printing/engine/render/units.h"

namespace pbp::render {

namespace {

double angleBetween(double ux, double uy, double vx, double vy) {
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

QPointF point(const librevenge::RVNGPropertyList& a, const char* x, const char* y,
              const QPointF& fallback) {
    return {lengthPt(a[x]).value_or(fallback.x()), lengthPt(a[y]).value_or(fallback.y())};
}

// Reads numbers and flags out of SVG path data.
class PathDataReader {
  public:
    explicit PathDataReader(const QString& d) : d_(d) {}

    void skipSeparators() {
        while (i_ < d_.size() && (d_[i_].isSpace() || d_[i_] == u',')) ++i_;
    }
    bool atEnd() {
        skipSeparators();
        return i_ >= d_.size();
    }
    bool atNumber() {
        skipSeparators();
        if (i_ >= d_.size()) return false;
        const QChar c = d_[i_];
        return c.isDigit() || c == u'-' || c == u'+' || c == u'.';
    }
    QChar command() { return d_[i_++]; }
    std::optional<double> number() {
        if (!atNumber()) return std::nullopt;
        const qsizetype start = i_;
        if (d_[i_] == u'-' || d_[i_] == u'+') ++i_;
        bool dot = false, exponent = false;
        while (i_ < d_.size()) {
            const QChar c = d_[i_];
            if (c.isDigit()) {
                ++i_;
            } else if (c == u'.' && !dot && !exponent) {
                dot = true;
                ++i_;
            } else if ((c == u'e' || c == u'E') && !exponent) {
                exponent = true;
                ++i_;
                if (i_ < d_.size() && (d_[i_] == u'-' || d_[i_] == u'+')) ++i_;
            } else {
                break;
            }
        }
        bool ok = false;
        const double n = QStringView(d_).mid(start, i_ - start).toDouble(&ok);
        return ok ? std::optional<double>(n) : std::nullopt;
    }
    bool numbers(double* out, int count) {
        for (int k = 0; k < count; ++k) {
            const std::optional<double> n = number();
            if (!n) return false;
            out[k] = *n;
        }
        return true;
    }

  private:
    const QString& d_;
    qsizetype i_ = 0;
};

}  // namespace

QPainterPath pathFromSvgText(const QString& d) {
    QPainterPath path;
    PathDataReader reader(d);
    QPointF lastControl;
    QChar previous;
    while (!reader.atEnd()) {
        const bool implicit = reader.atNumber();
        // Numbers without a command repeat the previous one; none may follow Z or start.
        if (implicit && (previous.isNull() || previous.toUpper() == u'Z')) break;
        QChar cmd = implicit ? previous : reader.command();
        const bool relative = cmd.isLower();
        const QPointF cur = path.currentPosition();
        const QPointF base = relative ? cur : QPointF();
        double v[7];
        switch (cmd.toUpper().unicode()) {
            case 'M':
                if (!reader.numbers(v, 2)) return path;
                path.moveTo(base + QPointF(v[0], v[1]));
                cmd = relative ? u'l' : u'L';  // further pairs are lines
                break;
            case 'L':
                if (!reader.numbers(v, 2)) return path;
                path.lineTo(base + QPointF(v[0], v[1]));
                break;
            case 'H':
                if (!reader.numbers(v, 1)) return path;
                path.lineTo((relative ? cur.x() : 0) + v[0], cur.y());
                break;
            case 'V':
                if (!reader.numbers(v, 1)) return path;
                path.lineTo(cur.x(), (relative ? cur.y() : 0) + v[0]);
                break;
            case 'C':
                if (!reader.numbers(v, 6)) return path;
                lastControl = base + QPointF(v[2], v[3]);
                path.cubicTo(base + QPointF(v[0], v[1]), lastControl, base + QPointF(v[4], v[5]));
                break;
            case 'S': {
                if (!reader.numbers(v, 4)) return path;
                const QChar p = previous.toUpper();
                const QPointF c1 = p == u'C' || p == u'S' ? 2 * cur - lastControl : cur;
                lastControl = base + QPointF(v[0], v[1]);
                path.cubicTo(c1, lastControl, base + QPointF(v[2], v[3]));
                break;
            }
            case 'Q':
                if (!reader.numbers(v, 4)) return path;
                lastControl = base + QPointF(v[0], v[1]);
                path.quadTo(lastControl, base + QPointF(v[2], v[3]));
                break;
            case 'T': {
                if (!reader.numbers(v, 2)) return path;
                const QChar p = previous.toUpper();
                lastControl = p == u'Q' || p == u'T' ? 2 * cur - lastControl : cur;
                path.quadTo(lastControl, base + QPointF(v[0], v[1]));
                break;
            }
            case 'A':
                if (!reader.numbers(v, 7)) return path;
                appendSvgArc(path, v[0], v[1], v[2], v[3] != 0, v[4] != 0,
                             base + QPointF(v[5], v[6]));
                break;
            case 'Z':
                path.closeSubpath();
                break;
            default:
                return path;
        }
        previous = cmd;
    }
    return path;
}

void appendSvgArc(QPainterPath& path, qreal rx, qreal ry, qreal xAxisRotationDeg, bool largeArc,
                  bool sweep, const QPointF& to) {
    const QPointF from = path.currentPosition();
    rx = std::abs(rx);
    ry = std::abs(ry);
    if (from == to) return;
    if (rx == 0 || ry == 0) {
        path.lineTo(to);
        return;
    }
    // Endpoint to centre parameterisation (SVG 1.1, appendix F.6.5).
    const double phi = qDegreesToRadians(xAxisRotationDeg);
    const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
    const double dx = (from.x() - to.x()) / 2, dy = (from.y() - to.y()) / 2;
    const double x1 = cosPhi * dx + sinPhi * dy;
    const double y1 = -sinPhi * dx + cosPhi * dy;
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double coef = den == 0 ? 0 : std::sqrt(std::max(0.0, num / den));
    if (largeArc == sweep) coef = -coef;
    const double cx1 = coef * rx * y1 / ry;
    const double cy1 = -coef * ry * x1 / rx;
    const double cx = cosPhi * cx1 - sinPhi * cy1 + (from.x() + to.x()) / 2;
    const double cy = sinPhi * cx1 + cosPhi * cy1 + (from.y() + to.y()) / 2;
    const double theta1 = angleBetween(1, 0, (x1 - cx1) / rx, (y1 - cy1) / ry);
    double delta =
        angleBetween((x1 - cx1) / rx, (y1 - cy1) / ry, (-x1 - cx1) / rx, (-y1 - cy1) / ry);
    if (!sweep && delta > 0) delta -= 2 * M_PI;
    if (sweep && delta < 0) delta += 2 * M_PI;
    // Numbers beyond double's range (a damaged drawing) leave no arc to draw.
    if (!std::isfinite(theta1) || !std::isfinite(delta)) {
        path.lineTo(to);
        return;
    }

    // Quarter circles or less, each one cubic Bézier on the unit circle, then mapped.
    const int segments = std::max(1, int(std::ceil(std::abs(delta) / (M_PI / 2) - 1e-9)));
    const double step = delta / segments;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    QTransform map;
    map.translate(cx, cy);
    map.rotateRadians(phi);
    map.scale(rx, ry);
    double t = theta1;
    for (int i = 0; i < segments; ++i) {
        const double t2 = t + step;
        const QPointF c1(std::cos(t) - k * std::sin(t), std::sin(t) + k * std::cos(t));
        const QPointF c2(std::cos(t2) + k * std::sin(t2), std::sin(t2) - k * std::cos(t2));
        const QPointF end = i == segments - 1 ? to : map.map(QPointF(std::cos(t2), std::sin(t2)));
        path.cubicTo(map.map(c1), map.map(c2), end);
        t = t2;
    }
}

QPainterPath pathFromActions(const librevenge::RVNGPropertyListVector& actions) {
    QPainterPath path;
    QPointF lastControl;
    char previous = 0;
    for (unsigned long i = 0; i < actions.count(); ++i) {
        const librevenge::RVNGPropertyList& a = actions[i];
        const librevenge::RVNGProperty* actionProp = a["librevenge:path-action"];
        if (!actionProp) continue;
        const char action = actionProp->getStr().cstr()[0];
        const QPointF current = path.currentPosition();
        const QPointF to = point(a, "svg:x", "svg:y", current);
        // A path whose first segment is not a move (libvisio hands such paths over when it
        // loses a shape's inherited first row) starts at that segment's end point: QPainterPath
        // would start it at the origin, the page's top-left corner.
        if (path.elementCount() == 0 && action != 'M' && action != 'Z') {
            path.moveTo(to);
            previous = 'M';
            continue;
        }
        switch (action) {
            case 'M':
                path.moveTo(to);
                break;
            case 'L':
                path.lineTo(to);
                break;
            case 'H':
                path.lineTo(to.x(), current.y());
                break;
            case 'V':
                path.lineTo(current.x(), to.y());
                break;
            case 'C': {
                const QPointF c2 = point(a, "svg:x2", "svg:y2", to);
                path.cubicTo(point(a, "svg:x1", "svg:y1", current), c2, to);
                lastControl = c2;
                break;
            }
            case 'S': {
                const QPointF c1 =
                    previous == 'C' || previous == 'S' ? 2 * current - lastControl : current;
                const QPointF c2 = point(a, "svg:x1", "svg:y1", to);
                path.cubicTo(c1, c2, to);
                lastControl = c2;
                break;
            }
            case 'Q': {
                const QPointF c = point(a, "svg:x1", "svg:y1", current);
                path.quadTo(c, to);
                lastControl = c;
                break;
            }
            case 'T': {
                const QPointF c =
                    previous == 'Q' || previous == 'T' ? 2 * current - lastControl : current;
                path.quadTo(c, to);
                lastControl = c;
                break;
            }
            case 'A':
                // libvisio leaves out flags it means as set: a missing large-arc or sweep
                // flag is 1, as librevenge's own SVG output writes it.
                appendSvgArc(
                    path, lengthPt(a["svg:rx"]).value_or(0), lengthPt(a["svg:ry"]).value_or(0),
                    number(a, "librevenge:rotate").value_or(0),
                    flag(a, "librevenge:large-arc", true), flag(a, "librevenge:sweep", true), to);
                break;
            case 'Z':
                path.closeSubpath();
                break;
            default:
                break;
        }
        previous = action;
    }
    return path;
}

}  // namespace pbp::render
