#pragma once

#include <QByteArray>

#include "printing/engine/drawing_file.h"
#include "printing/engine/sheet_plan.h"

namespace pbp::visio {

// A PDF with the plan's sheets, each on its paper and in its orientation with the page's drawing
// where the plan puts it. Throws VbError when the plan has no sheet, names a page the drawing
// does not have, or the PDF cannot be written.
QByteArray pdfSheets(const DrawingFile& file, const SheetPlan& plan);

}  // namespace pbp::visio
