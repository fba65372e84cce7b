#pragma once

// The drawing as libvisio should read it: a .vsdx package or a .vdx document whose shapes'
// inherited geometry has been completed in memory (inherited_geometry.h), and whose page parts,
// read once to find that out, are not inflated again.

#include <memory>

namespace librevenge {
class RVNGInputStream;
}

namespace pbp::render {

// The drawing as libvisio is to read it: `stream` over `input` with its pages held in memory,
// completed where needed (null when the drawing is binary (.vsd), a .vdx that needed no
// completion, or the completion failed), and whether any part was completed. The stream refers
// to `input`, which must outlive it.
struct CompletedInput {
    std::unique_ptr<librevenge::RVNGInputStream> stream;
    bool completed = false;
};
CompletedInput withInheritedGeometry(librevenge::RVNGInputStream& input);

}  // namespace pbp::render
