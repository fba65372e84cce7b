#include "printing/engine/render/style_reader.h"

#include <librevenge/librevenge.h>

#include <algorithm>

#include "printing/engine/render/line_ends.h"
#include "printing/engine/render/svg_path.h"
#include "printing/engine/render/units.h"

namespace pbp::render {

namespace {

// Dash lengths given in percent are relative to the line width; hairlines would make them
// vanish, so they are measured against at least one point.
constexpr qreal kMinimumDashUnitPt = 1.0;

QColor withOpacity(QColor c, std::optional<double> opacity) {
    if (opacity) c.setAlphaF(float(std::clamp(*opacity, 0.0, 1.0)));
    return c;
}

qreal dashLength(const librevenge::RVNGPropertyList& props, const char* name, qreal unitPt) {
    const librevenge::RVNGProperty* p = props[name];
    if (!p) return unitPt;
    if (p->getUnit() == librevenge::RVNG_PERCENT) return p->getDouble() * unitPt;
    return lengthPt(p).value_or(unitPt);
}

// How many dashes of one kind a pattern repeats, at most 64; clamped before the conversion so
// that a huge or non-numeric count stays defined.
int dotCount(const librevenge::RVNGPropertyList& props, const char* name) {
    const double count = number(props, name).value_or(0);
    return count > 0 ? int(std::min(count, 64.0)) : 0;
}

QList<qreal> readDashes(const librevenge::RVNGPropertyList& props, qreal widthPt) {
    const qreal unit = std::max(widthPt, kMinimumDashUnitPt);
    const int dots1 = dotCount(props, "draw:dots1");
    const int dots2 = dotCount(props, "draw:dots2");
    const qreal length1 = dashLength(props, "draw:dots1-length", unit);
    const qreal length2 = dashLength(props, "draw:dots2-length", unit);
    const qreal gap = std::max(dashLength(props, "draw:distance", unit), 0.01);
    QList<qreal> dashes;
    for (int i = 0; i < dots1; ++i) dashes << std::max(length1, 0.01) << gap;
    for (int i = 0; i < dots2; ++i) dashes << std::max(length2, 0.01) << gap;
    return dashes;
}

Marker readMarker(const librevenge::RVNGPropertyList& props, const char* end) {
    const QByteArray prefix = QByteArray("draw:marker-") + end;
    Marker marker;
    const QString d = text(props, prefix + "-path");
    if (d.isEmpty()) return marker;
    const QPainterPath outline = pathFromSvgText(d);
    // libvisio's view boxes do not always match its paths; like LibreOffice, size the arrow by
    // the outline's own extent so that its width is the marker width.
    const QRectF viewBox = outline.boundingRect();
    if (viewBox.width() <= 0) return marker;
    const bool centered = flag(props, prefix + "-center");
    marker.widthPt = lengthPt(props, prefix + "-width", 0);
    marker.centered = centered;
    // Tip (top centre of the view box) at the origin, one unit across.
    const qreal scale = 1.0 / viewBox.width();
    QTransform toUnit;
    toUnit.scale(scale, scale);
    toUnit.translate(-viewBox.center().x(), centered ? -viewBox.center().y() : -viewBox.top());
    marker.outline = toUnit.map(outline);
    return marker;
}

Gradient::Shape gradientShape(const QString& style) {
    if (style == QLatin1String("axial")) return Gradient::Shape::Axial;
    if (style == QLatin1String("radial")) return Gradient::Shape::Radial;
    if (style == QLatin1String("ellipsoid")) return Gradient::Shape::Ellipsoid;
    if (style == QLatin1String("square")) return Gradient::Shape::Square;
    if (style == QLatin1String("rectangular")) return Gradient::Shape::Rectangular;
    return Gradient::Shape::Linear;
}

Fill readFill(const librevenge::RVNGPropertyList& props) {
    Fill fill;
    fill.rule = text(props, "svg:fill-rule") == QLatin1String("nonzero") ? Qt::WindingFill
                                                                         : Qt::OddEvenFill;
    const QString kind = text(props, "draw:fill");
    const std::optional<double> opacity = fraction(props, "draw:opacity");
    fill.color = withOpacity(colour(props, "draw:fill-color").value_or(Qt::white), opacity);
    if (kind == QLatin1String("solid")) {
        fill.kind = Fill::Kind::Solid;
    } else if (kind == QLatin1String("gradient")) {
        fill.kind = Fill::Kind::Gradient;
        Gradient& g = fill.gradient;
        g.shape = gradientShape(text(props, "draw:style"));
        g.from = withOpacity(colour(props, "draw:start-color").value_or(Qt::white),
                             fraction(props, "librevenge:start-opacity"));
        g.to = withOpacity(colour(props, "draw:end-color").value_or(Qt::black),
                           fraction(props, "librevenge:end-opacity"));
        g.angleDeg = number(props, "draw:angle").value_or(0);
        g.border = std::clamp(fraction(props, "draw:border").value_or(0), 0.0, 1.0);
        g.cx = fraction(props, "svg:cx").value_or(0.5);
        g.cy = fraction(props, "svg:cy").value_or(0.5);
    } else if (kind == QLatin1String("hatch")) {
        fill.kind = Fill::Kind::Hatch;
        const QString style = text(props, "draw:style");
        fill.hatch.lines = style == QLatin1String("triple")   ? 3
                           : style == QLatin1String("double") ? 2
                                                              : 1;
        fill.hatch.color = colour(props, "draw:color").value_or(Qt::black);
        fill.hatch.distancePt = lengthPt(props, "draw:distance", 0.1 * kPointsPerInch);
        fill.hatch.rotationDeg = number(props, "draw:rotation").value_or(0);
        fill.hatchBackground = flag(props, "draw:fill-hatch-solid");
    } else if (kind == QLatin1String("bitmap")) {
        fill.bitmap = decodeImage(props, "draw:fill-image");
        fill.kind = fill.bitmap.isNull() ? Fill::Kind::None : Fill::Kind::Bitmap;
    }
    return fill;
}

Stroke readStroke(const librevenge::RVNGPropertyList& props) {
    Stroke stroke;
    const QString kind = text(props, "draw:stroke");
    stroke.visible = kind == QLatin1String("solid") || kind == QLatin1String("dash");
    stroke.color = withOpacity(colour(props, "svg:stroke-color").value_or(Qt::black),
                               fraction(props, "svg:stroke-opacity"));
    stroke.widthPt = std::max(0.0, lengthPt(props, "svg:stroke-width", 0));
    const QString cap = text(props, "svg:stroke-linecap");
    stroke.cap = cap == QLatin1String("round")    ? Qt::RoundCap
                 : cap == QLatin1String("square") ? Qt::SquareCap
                                                  : Qt::FlatCap;
    const QString join = text(props, "svg:stroke-linejoin");
    stroke.join = join == QLatin1String("round")   ? Qt::RoundJoin
                  : join == QLatin1String("bevel") ? Qt::BevelJoin
                                                   : Qt::MiterJoin;
    if (kind == QLatin1String("dash")) stroke.dashPt = readDashes(props, stroke.widthPt);
    stroke.start = readMarker(props, "start");
    stroke.end = readMarker(props, "end");
    stroke.startInsetPt = markerInsetPt(stroke.start, stroke.widthPt, stroke.cap);
    stroke.endInsetPt = markerInsetPt(stroke.end, stroke.widthPt, stroke.cap);
    return stroke;
}

}  // namespace

Style readStyle(const librevenge::RVNGPropertyList& props) {
    Style style;
    style.fill = readFill(props);
    style.stroke = readStroke(props);
    if (text(props, "draw:shadow") == QLatin1String("visible")) {
        style.shadow.visible = true;
        style.shadow.offsetPt = {lengthPt(props, "draw:shadow-offset-x", 0),
                                 lengthPt(props, "draw:shadow-offset-y", 0)};
        style.shadow.color = withOpacity(colour(props, "draw:shadow-color").value_or(Qt::gray),
                                         fraction(props, "draw:shadow-opacity"));
    }
    return style;
}

bool isNonPrinting(const librevenge::RVNGPropertyList& props) {
    const QString display = text(props, "draw:display");
    return display == QLatin1String("none") || display == QLatin1String("screen");
}

QImage decodeImage(const librevenge::RVNGPropertyList& props, const char* dataKey) {
    const librevenge::RVNGProperty* p = props[dataKey];
    if (!p) return {};
    // Binary properties print as base64, which also survives a copy of the property list.
    const librevenge::RVNGBinaryData data(p->getStr());
    if (data.empty()) return {};
    return QImage::fromData(QByteArrayView(data.getDataBuffer(), qsizetype(data.size())));
}

}  // namespace pbp::render
