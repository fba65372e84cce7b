#pragma once

// Filling a path with each kind of fill, and the smallest line width that still shows.

#include "printing/engine/render/display_list.h"

class QPainter;

namespace pbp::render {

void fillShape(QPainter& painter, const QPainterPath& path, const Fill& fill);

// The thinnest line (in the painter's user units) that prints visibly on its device:
// 0.25 pt on paper and never less than one device pixel.
qreal minimumVisibleWidth(const QPainter& painter);

}  // namespace pbp::render
