#pragma once

#include <QByteArray>

#include "printing/engine/drawing_file.h"
#include "printing/engine/sheet_plan.h"

namespace pbp::visio {

// A drawing's planned sheets and, when `shown` is a sheet's index, that sheet painted as a PNG.
struct SheetPreview {
    SheetPlan plan;
    qint32 shown = -1;
    QByteArray png;
};

// The plan with sheet `shown` (none when out of range) painted on white paper whose longer edge
// is `longEdgePixels`, exactly as it is painted for the printer.
SheetPreview previewSheets(const DrawingFile& file, const SheetPlan& plan, int shown,
                           int longEdgePixels);

}  // namespace pbp::visio
