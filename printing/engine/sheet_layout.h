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

// Every paper a PaperKind value can name, each once.
std::vector<QPageSize> nameablePapers();

// The value of a cell formula the engine can evaluate: a number, optionally after "=" and
// before the unit "in"; nothing for any other text.
std::optional<double> formulaValue(QString formula);

// The paper, turned when landscape, with the sheet margins.
QPageLayout sheetLayout(const QPageSize& paper, bool landscape);

// Where a drawing goes inside `area` (both in points): centred at its own size, or scaled
// down, keeping its aspect ratio, when it is larger than the area. Never enlarged.
QRectF placeDrawing(const QSizeF& drawingPoints, const QRectF& area);

}  // namespace pbp::visio
