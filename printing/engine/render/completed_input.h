#pragma once

// The drawing as libvisio should read it: a .vsdx package or a .vdx document whose shapes'
// inherited geometry has been completed in memory (inherited_geometry.h).

#include <memory>

namespace librevenge {
class RVNGInputStream;
}

namespace pbp::render {

// A stream over `input` with the completed parts, or null when nothing needed completing, the
// drawing is binary (.vsd) or the completion failed. The stream refers to `input`, which must
// outlive it.
std::unique_ptr<librevenge::RVNGInputStream> withInheritedGeometry(
    librevenge::RVNGInputStream& input);

}  // namespace pbp::render
