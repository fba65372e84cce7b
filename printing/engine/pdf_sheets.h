#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <vector>

class QPainter;

#include "printing/engine/drawing_file.h"

namespace pbp::visio {

// The scale a page is printed at on its sheet: 1 at its own size, below 1 when shrunk to fit.
double sheetScale(const QPageLayout& layout, const DrawingPage& page);

// Paints a page onto its sheet (the painter's device at `devicePerPoint` pixels per point):
// centred inside the margins at its own size, or scaled down to fit.
void paintSheet(QPainter& painter, const QPageLayout& layout, const DrawingFile& file,
                const DrawingPage& page, double devicePerPoint);

// A PDF with one sheet per entry of `pageOrder` (indices into file.pages): the page's paper
// (`paperOfPage`, by the same index) in the page's print orientation, the drawing centred on it
// and scaled down to fit when larger. A page of size 0 x 0 fills the printable area. Throws
// VbError when the PDF cannot be written.
QByteArray pdfSheets(const DrawingFile& file, const std::vector<int>& pageOrder,
                     const std::vector<QPageSize>& paperOfPage);

}  // namespace pbp::visio
