#include "printing/engine/sheet_layout.h"

#include <QMarginsF>
#include <algorithm>

namespace pbp::visio {

std::optional<QPageSize> paperForKind(int paperKind) {
    if (paperKind <= 0) return std::nullopt;
    const QPageSize::PageSizeId id = QPageSize::id(paperKind);
    if (id == QPageSize::Custom) return std::nullopt;
    return QPageSize(id);
}

std::vector<QPageSize> nameablePapers() {
    std::vector<QPageSize> papers;
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto paper = paperForKind(QPageSize::windowsId(QPageSize::PageSizeId(id)));
        if (paper && std::find(papers.begin(), papers.end(), *paper) == papers.end())
            papers.push_back(*paper);
    }
    return papers;
}

std::optional<double> formulaValue(QString formula) {
    formula = formula.trimmed();
    if (formula.startsWith(QLatin1Char('='))) formula = formula.mid(1).trimmed();
    if (formula.endsWith(QLatin1String("in"))) formula.chop(2);
    bool ok = false;
    const double value = formula.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QPageLayout sheetLayout(const QPageSize& paper, bool landscape) {
    const QMarginsF margins(kSheetMarginPoints, kSheetMarginPoints, kSheetMarginPoints,
                            kSheetMarginPoints);
    return QPageLayout(paper, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                       QPageLayout::Point);
}

QRectF placeDrawing(const QSizeF& drawingPoints, const QRectF& area) {
    if (drawingPoints.width() <= 0 || drawingPoints.height() <= 0) return area;
    const double scale = std::min(
        {1.0, area.width() / drawingPoints.width(), area.height() / drawingPoints.height()});
    QRectF placed(QPointF(0, 0), drawingPoints * scale);
    placed.moveCenter(area.center());
    return placed;
}

}  // namespace pbp::visio
