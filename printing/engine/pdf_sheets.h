#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QString>
#include <vector>

#include "printing/engine/drawing_file.h"

namespace pbp::visio {

// A PDF with one sheet per entry of `pageOrder` (indices into file.pages): the page's paper
// (`paperOfPage`, by the same index) in the page's print orientation, the drawing centred on it
// and scaled down to fit when larger. A page of size 0 x 0 fills the printable area. Throws
// VbError when the PDF cannot be written.
QByteArray pdfSheets(const DrawingFile& file, const std::vector<int>& pageOrder,
                     const std::vector<QPageSize>& paperOfPage);

}  // namespace pbp::visio
