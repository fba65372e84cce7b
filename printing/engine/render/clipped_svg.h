#pragma once

// libemf2svg's SVG painted in parts, each under the clip its elements were drawn with. QtSvg
// 6.4 ignores clip-path, so the painter clips: the elements that share a clip are gathered in
// a group of their own, and each group is rendered alone with the painter's clip set. Text
// elements are taken out of the groups and painted as text after the group they stood in
// (svg_text.h).

#include <QByteArray>
#include <QPainterPath>
#include <QRegion>
#include <QString>
#include <optional>
#include <vector>

#include "printing/engine/render/svg_text.h"

class QPainter;
class QRectF;
class QSvgRenderer;

namespace pbp::render {

struct SvgPart {
    QString id;                        // the group's id in the SVG
    std::optional<QPainterPath> clip;  // in the SVG's user units; empty for none
    std::vector<SvgText> texts;        // painted after the group, under its clip
};

struct PartedSvg {
    QByteArray svg;
    std::vector<SvgPart> parts;
};

// Regroups the SVG libemf2svg wrote for a metafile with clip markers: its k-th clipPath
// definition stands for `clips[k]` (device subpixels, metafile_clip.h). Empty when the SVG is not
// laid out as libemf2svg writes it or its definitions do not match the markers.
std::optional<PartedSvg> svgInClippedParts(const QByteArray& svg,
                                           const std::vector<std::optional<QRegion>>& clips);

// Regroups the SVG libwmf wrote for a metafile whose clip changes it marked with a comment
// "pbp-clip K" before the first element drawn under `clips[K]` (picture subpixels). Empty when
// the SVG is not laid out as libwmf writes it.
std::optional<PartedSvg> svgPartedAtClipMarks(const QByteArray& svg,
                                              const std::vector<std::optional<QRegion>>& clips);

// Takes the SVG's text elements out of `parts` (or, with none, out of the whole SVG, which is
// then made parts without a clip): each is painted after its part's group, and what follows it
// goes on in a new group of the same clip, so that the ink keeps its order. Empty when no text
// element could be taken out.
std::optional<PartedSvg> svgWithTextApart(const QByteArray& svg, const std::vector<SvgPart>& parts);

// Paints the parts stretched to `box` as QSvgRenderer::render(painter, box) paints the whole.
void paintSvgParts(QSvgRenderer& renderer, const std::vector<SvgPart>& parts, QPainter& painter,
                   const QRectF& box);

}  // namespace pbp::render
