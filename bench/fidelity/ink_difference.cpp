#include "ink_difference.h"

#include <vector>

namespace pbp::fidelity {

namespace {

constexpr int kWindowCells = 16;       // windows of 16 x 16 cells, overlapping by half
constexpr int kWindowMinimumInk = 60;  // inked cells a window needs to count

// Anything clearly darker or more colourful than white paper.
bool inked(QRgb p) {
    return qRed(p) < 215 || qGreen(p) < 215 || qBlue(p) < 215;
}

struct Grid {
    int columns = 0, rows = 0;
    std::vector<bool> cells;
    bool at(int c, int r) const {
        return c >= 0 && r >= 0 && c < columns && r < rows && cells[std::size_t(r * columns + c)];
    }
    bool near(int c, int r) const {
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc)
                if (at(c + dc, r + dr)) return true;
        return false;
    }
};

Grid inkGrid(const QImage& picture, int cellPx, int columns, int rows) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    Grid grid{columns, rows, std::vector<bool>(std::size_t(columns * rows))};
    for (int y = 0; y < std::min(image.height(), rows * cellPx); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < std::min(image.width(), columns * cellPx); ++x)
            if (inked(line[x])) grid.cells[std::size_t((y / cellPx) * columns + x / cellPx)] = true;
    }
    return grid;
}

}  // namespace

std::optional<double> inkDifference(const QImage& ours, const QImage& theirs, int cellPx) {
    if (cellPx <= 0 || std::abs(ours.width() - theirs.width()) > cellPx ||
        std::abs(ours.height() - theirs.height()) > cellPx)
        return std::nullopt;
    const int columns = (std::max(ours.width(), theirs.width()) + cellPx - 1) / cellPx;
    const int rows = (std::max(ours.height(), theirs.height()) + cellPx - 1) / cellPx;
    const Grid a = inkGrid(ours, cellPx, columns, rows);
    const Grid b = inkGrid(theirs, cellPx, columns, rows);
    // Per cell: how many of the two pictures ink it, and how many of those find no ink near
    // it in the other.
    std::vector<int> inked(std::size_t(columns * rows)), unmatched(inked.size());
    int totalInked = 0, totalUnmatched = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const std::size_t i = std::size_t(r * columns + c);
            inked[i] = a.at(c, r) + b.at(c, r);
            unmatched[i] = (a.at(c, r) && !b.near(c, r)) + (b.at(c, r) && !a.near(c, r));
            totalInked += inked[i];
            totalUnmatched += unmatched[i];
        }
    if (totalInked == 0) return std::nullopt;
    double worst = double(totalUnmatched) / totalInked;
    // A shape moved on a busy page hardly changes the page's share: look at windows too, each
    // holding enough ink to be more than a stray word.
    const int window = kWindowCells, step = kWindowCells / 2;
    for (int r0 = 0; r0 < rows; r0 += step)
        for (int c0 = 0; c0 < columns; c0 += step) {
            int n = 0, u = 0;
            for (int r = r0; r < std::min(rows, r0 + window); ++r)
                for (int c = c0; c < std::min(columns, c0 + window); ++c) {
                    n += inked[std::size_t(r * columns + c)];
                    u += unmatched[std::size_t(r * columns + c)];
                }
            if (n >= kWindowMinimumInk) worst = std::max(worst, double(u) / n);
        }
    return worst;
}

}  // namespace pbp::fidelity
