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

std::optional<double> formulaValue(QString formula) {
    formula = formula.trimmed();
    if (formula.startsWith(QLatin1Char('='))) formula = formula.mid(1).trimmed();
    if (formula.endsWith(QLatin1String("in"))) formula.chop(2);
    bool ok = false;
    const double value = formula.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

bool isLandscapeOrientation(const QString& printPageOrientation) {
    return formulaValue(printPageOrientation).value_or(0) == 2.0;
}

QPageLayout sheetLayout(const QPageSize& paper, const QString& printPageOrientation) {
    const QMarginsF margins(kSheetMarginPoints, kSheetMarginPoints, kSheetMarginPoints,
                            kSheetMarginPoints);
    return QPageLayout(paper,
                       isLandscapeOrientation(printPageOrientation) ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait,
                       margins, QPageLayout::Point);
}

QRectF placeDrawing(const QSizeF& drawingPoints, const QRectF& area) {
    if (drawingPoints.width() <= 0 || drawingPoints.height() <= 0) return area;
    const double scale = std::min(
        {1.0, area.width() / drawingPoints.width(), area.height() / drawingPoints.height()});
    QRectF placed(QPointF(0, 0), drawingPoints * scale);
    placed.moveCenter(area.center());
    return placed;
}

std::vector<int> sheetOrder(int first, int last, int copies, bool collate) {
    std::vector<int> order;
    if (collate) {
        for (int copy = 0; copy < copies; ++copy)
            for (int page = first; page <= last; ++page) order.push_back(page);
    } else {
        for (int page = first; page <= last; ++page)
            for (int copy = 0; copy < copies; ++copy) order.push_back(page);
    }
    return order;
}

}  // namespace pbp::visio
