#pragma once

// How differently two renderings of one page put ink on the paper.

#include <QImage>
#include <optional>

namespace pbp::fidelity {

// Pages whose ink differs more than this are listed as problems. On the shared drawings, pages
// with a circle moved by half its size or text turned the wrong way measured 0.46 and more;
// pages that differ only in fonts and line widths 0.22 and less.
inline constexpr double kStrongInkDifference = 0.3;

// The share of inked cells (a grid of `cellPx` pixels) in either picture that have no ink
// within one cell in the other, over the whole page or, where larger, in any window of 16 x 16
// cells that holds enough ink: 0 when the ink lies alike, 1 when nothing lines up. nullopt when
// the pictures differ in size by more than a cell, or neither holds ink.
std::optional<double> inkDifference(const QImage& ours, const QImage& theirs, int cellPx);

}  // namespace pbp::fidelity
