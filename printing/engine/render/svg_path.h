#pragma once

// Turns librevenge's path description (svg:d: a list of path actions M L H V C S Q T A Z with
// lengths in inches) into a QPainterPath in points.

#include <QPainterPath>

namespace librevenge {
class RVNGPropertyListVector;
}

namespace pbp::render {

QPainterPath pathFromActions(const librevenge::RVNGPropertyListVector& actions);

// Parses SVG path data ("m10 0-10 10h20z"), as markers carry it; units are kept as given.
// Stops at the first malformed command and keeps what came before.
QPainterPath pathFromSvgText(const QString& d);

// Appends the SVG elliptical arc from the path's current point to `to` as cubic Béziers.
void appendSvgArc(QPainterPath& path, qreal rx, qreal ry, qreal xAxisRotationDeg, bool largeArc,
                  bool sweep, const QPointF& to);

}  // namespace pbp::render
