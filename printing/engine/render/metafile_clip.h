#pragma once

// The clip regions an EMF sets, worked out from its records as Windows applies them.
// libemf2svg keeps one clip rectangle at a time: an excluded rectangle becomes the clip, and a
// restored or reset clip is not always restored, so the chart of an embedded Excel object would
// lose its grid to the legend's rectangle. Its SVG still says which clip each element was drawn
// under, so each clip change is handed to it as a marker and the clip is painted from here.

#include <QByteArray>
#include <QRegion>
#include <QSizeF>
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

// The clips a WMF sets, in the order its records set them. libwmf's SVG says nothing about
// clips; the decoder notes, as each element is drawn, which of these is in force.
struct WmfClips {
    // Where each clip change ends in the metafile (bytes from its start, placeable header
    // included), ascending.
    std::vector<qsizetype> ends;
    // The clip in force from there on, in kClipSubpixels-ths of the picture's units; empty for
    // none.
    std::vector<std::optional<QRegion>> clips;

    // The change in force once the record that ends at `offset` is read; -1 before the first.
    int inForceAt(qsizetype offset) const;
};

// The clips of a placeable WMF whose window (or placeable frame) is drawn as `size` units.
// Empty when it sets no clip, is malformed, has no placeable header, or clips to a region
// bigger than is followed: it is then drawn without clipping, as before.
std::optional<WmfClips> wmfClips(const QByteArray& wmf, QSizeF size);

}  // namespace pbp::render
