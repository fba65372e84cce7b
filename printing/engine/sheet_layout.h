#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace pbp::visio {

// Every sheet keeps a quarter inch free on each side, where most printers cannot print.
inline constexpr double kSheetMarginPoints = 18.0;

// The paper a PaperKind value names. The values are those of Windows' paper sizes (1 Letter,
// 3 Tabloid, 5 Legal, 8 A3, 9 A4, 11 A5 ...); 0 and values without a paper give none.
std::optional<QPageSize> paperForKind(int paperKind);

// The value of a cell formula the engine can evaluate: a number, optionally after "=" and
// before the unit "in"; nothing for any other text.
std::optional<double> formulaValue(QString formula);

// True when a PrintPageOrientation formula asks for landscape (its value is 2). A formula
// without a value counts as no orientation (0), as the page table's reader takes it.
bool isLandscapeOrientation(const QString& printPageOrientation);

// The printer's paper turned to the page's print orientation, with the sheet margins.
QPageLayout sheetLayout(const QPageSize& paper, const QString& printPageOrientation);

// Where a drawing goes inside `area` (both in points): centred at its own size, or scaled
// down, keeping its aspect ratio, when it is larger than the area. Never enlarged.
QRectF placeDrawing(const QSizeF& drawingPoints, const QRectF& area);

// The sheets to print for pages first..last (indices), each page `copies` times: uncollated
// gives 1,1,2,2,...; collated gives 1,2,...,1,2,...
std::vector<int> sheetOrder(int first, int last, int copies, bool collate);

}  // namespace pbp::visio
