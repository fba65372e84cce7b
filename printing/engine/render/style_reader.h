#pragma once

// Converts the graphic style librevenge passes to setStyle into the plain Style struct.

#include "printing/engine/render/display_list.h"

namespace librevenge {
class RVNGPropertyList;
}

namespace pbp::render {

Style readStyle(const librevenge::RVNGPropertyList& props);

// Whether a shape, layer or text with these properties is left out of print
// (draw:display "none" or "screen").
bool isNonPrinting(const librevenge::RVNGPropertyList& props);

// Decodes the image data of a bitmap fill or picture; a null image when Qt cannot read it.
QImage decodeImage(const librevenge::RVNGPropertyList& props, const char* dataKey);

}  // namespace pbp::render
