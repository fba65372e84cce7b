#pragma once

#include <QByteArray>

#include "printing/engine/drawing_file.h"
#include "printing/engine/sheet_plan.h"

class QPainter;

namespace pbp::visio {

// Paints the sheet's page where the plan puts it; the painter's origin is the printable area's
// corner and its device has `devicePerPoint` pixels per point.
void paintSheet(QPainter& painter, const DrawingFile& file, const PlannedSheet& sheet,
                double devicePerPoint);

// A PDF with the plan's sheets, each on its paper and in its orientation with the page's drawing
// where the plan puts it. Throws VbError when the plan has no sheet, names a page the drawing
// does not have, or the PDF cannot be written.
QByteArray pdfSheets(const DrawingFile& file, const SheetPlan& plan);

}  // namespace pbp::visio
