#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QString>
#include <vector>

#include "printing/engine/drawing_file.h"

namespace pbp::visio {

// One sheet as it will print: its paper, which way the paper is turned, the scale the page is
// printed at (1 at its own size, below 1 when shrunk) and the page's name.
struct PreviewSheet {
    QPageSize paper;
    bool landscape = false;
    double scale = 1;
    QString pageName;
};

// A drawing's sheets and, when `shown` is a sheet's index, that sheet painted as a PNG.
struct SheetPreview {
    std::vector<PreviewSheet> sheets;
    qint32 shown = -1;
    QByteArray png;
};

// Describes the sheets (indices into file.pages, one per sheet, each page on its paper in
// `paperOfPage`) and paints sheet `shown` (none when out of range) on white paper whose longer
// edge is `longEdgePixels`, exactly as it is painted for the printer.
SheetPreview previewSheets(const DrawingFile& file, const std::vector<int>& sheets,
                           const std::vector<QPageSize>& paperOfPage, int shown,
                           int longEdgePixels);

}  // namespace pbp::visio
