#pragma once

#include "printing/engine/render/display_list.h"

class QPainter;

namespace pbp::render {

// Replays one recorded page onto the painter, whose user space is the page in points.
void paintRecordedPage(const Page& page, QPainter& painter);

}  // namespace pbp::render
