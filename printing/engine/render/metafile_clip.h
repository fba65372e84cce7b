#pragma once

// The clip regions an EMF sets, worked out from its records as Windows applies them.
// libemf2svg keeps one clip rectangle at a time: an excluded rectangle becomes the clip, and a
// restored or reset clip is not always restored, so the chart of an embedded Excel object would
// lose its grid to the legend's rectangle. Its SVG still says which clip each element was drawn
// under, so each clip change is handed to it as a marker and the clip is painted from here.

#include <QByteArray>
#include <QRegion>
#include <optional>
#include <vector>

namespace pbp::render {

// A picture is played onto the printer at the printer's resolution, not on the pixels of the
// device it was made for: a clip a fraction of such a pixel wide still lets ink through.
inline constexpr int kClipSubpixels = 16;

struct ClipMarkedEmf {
    // The metafile with each clip change replaced by, or followed by, an INTERSECTCLIPRECT
    // marker (for which libemf2svg writes one clipPath definition each).
    QByteArray emf;
    // The clip in force after each marker, in kClipSubpixels-ths of a device pixel; empty for
    // none.
    std::vector<std::optional<QRegion>> clips;
};

// Empty when the metafile sets no clip, is malformed, or clips to a path (not followed here):
// it is then drawn without clipping, as before.
std::optional<ClipMarkedEmf> emfWithClipMarkers(const QByteArray& emf);

}  // namespace pbp::render
