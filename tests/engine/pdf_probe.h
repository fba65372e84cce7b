#pragma once

#include <QSizeF>
#include <QString>
#include <vector>

namespace pbp::test {

// Sheet sizes in points of a PDF, read with poppler's pdfinfo; empty when it cannot be read.
std::vector<QSizeF> pdfSheetSizes(const QString& pdfPath);

// The PDF's text, read with poppler's pdftotext.
QString pdfText(const QString& pdfPath);

}  // namespace pbp::test
