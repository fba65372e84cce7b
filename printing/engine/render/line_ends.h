#pragma once

// Where a path's arrowheads go and how far its line is shortened under them.

#include <QPainterPath>

#include "printing/engine/render/display_list.h"

namespace pbp::render {

// How far a line of `lineWidthPt` with `cap` is drawn short of the marker's tip so that it
// ends inside the arrowhead: at the first depth where the marker is as wide as the line, plus
// the cap's overhang. 0 for a centred marker (its line runs to the centre) and for a marker
// that is nowhere as wide as the line.
qreal markerInsetPt(const Marker& marker, qreal lineWidthPt, Qt::PenCapStyle cap);

struct LineEnds {
    QPainterPath stroke;   // the path to stroke, shortened under its arrowheads
    QPainterPath markers;  // the arrowheads' outlines, placed, to be filled
};

// Line ends belong to open sub-paths, as in Visio, where a dimension line is two open halves
// running outwards, each with an end mark: every open sub-path gets the start marker at its
// first point and the end marker at its last. Closed sub-paths get none.
LineEnds placeLineEnds(const QPainterPath& path, const Stroke& stroke);

}  // namespace pbp::render
