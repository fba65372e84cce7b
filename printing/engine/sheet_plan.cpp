#include "printing/engine/sheet_plan.h"

#include <algorithm>
#include <optional>

#include "printing/engine/sheet_layout.h"

namespace pbp::visio {

namespace {

// The drawing's size in points; a page without a size takes the whole printable area.
QSizeF drawingSizePoints(const DrawingPage& page, const QSizeF& area) {
    QSizeF inches = page.renderedSizeInches;
    if (inches.width() <= 0 || inches.height() <= 0)
        inches = QSizeF(page.widthInches, page.heightInches);
    if (inches.width() <= 0 || inches.height() <= 0) return area;
    return inches * 72.0;
}

// The media name of the page's own paper when the printer offers it.
std::optional<QString> offeredMedia(const DrawingPage& page, const PlanOptions& options) {
    const std::optional<QPageSize> own = paperForKind(page.paperKind);
    if (!own) return std::nullopt;
    for (const OfferedPaper& offered : options.offered)
        if (offered.paper == *own) return offered.media;
    return std::nullopt;
}

PlannedSheet sheetFor(const std::vector<DrawingPage>& pages, int index, const QPageSize& paper,
                      const PlanOptions& options) {
    const DrawingPage& page = pages[size_t(index)];
    PlannedSheet sheet;
    sheet.page = index;
    sheet.pageName = page.name;
    sheet.paper = paper;
    sheet.landscape = printsLandscape(page, options.turnLandscapeShapedPages);
    const QSizeF area = sheetLayout(paper, sheet.landscape).paintRect(QPageLayout::Point).size();
    const QSizeF drawing = drawingSizePoints(page, area);
    sheet.drawingArea = placeDrawing(drawing, QRectF(QPointF(0, 0), area));
    sheet.scale = drawing.width() > 0 ? sheet.drawingArea.width() / drawing.width() : 1.0;
    return sheet;
}

}  // namespace

int foregroundPageCount(const std::vector<DrawingPage>& pages) {
    return int(std::count_if(pages.begin(), pages.end(),
                             [](const DrawingPage& page) { return !page.background; }));
}

bool printsLandscape(const DrawingPage& page, bool turnLandscapeShapedPages) {
    return page.orientation == PrintOrientation::Landscape ||
           (turnLandscapeShapedPages && page.widthInches > page.heightInches);
}

SheetPlan planSheets(const std::vector<DrawingPage>& pages, const PlanOptions& options) {
    const int foreground = foregroundPageCount(pages);
    // Foreground pages come first, so page n is index n - 1.
    const int first = std::max(options.fromPage, 1) - 1;
    const int last = std::min(options.toPage, foreground) - 1;
    const int copies = std::max(options.copies, 1);
    std::vector<int> order;
    for (int outer = 0; outer < (options.collate ? copies : last - first + 1); ++outer)
        for (int inner = 0; inner < (options.collate ? last - first + 1 : copies); ++inner)
            order.push_back(first + (options.collate ? inner : outer));
    if (order.empty()) return SheetPlan({}, {}, foreground);

    // A queue prints a job on one paper, named as its media: the drawing's own papers are kept
    // when all sheets share one, or when the printer takes any paper (no media names).
    std::vector<std::optional<QString>> media;
    for (const int page : order) media.push_back(offeredMedia(pages[size_t(page)], options));
    const bool shared = std::all_of(media.begin(), media.end(),
                                    [&](const auto& each) { return each == media.front(); });
    const bool queue = std::any_of(media.begin(), media.end(),
                                   [](const auto& each) { return each && !each->isEmpty(); });
    const bool ownPapers = shared || !queue;
    std::vector<PlannedSheet> sheets;
    for (size_t i = 0; i < order.size(); ++i) {
        const std::optional<QPageSize> own = paperForKind(pages[size_t(order[i])].paperKind);
        const bool onOwn = ownPapers && media[i].has_value();
        sheets.push_back(sheetFor(pages, order[i], onOwn ? *own : options.defaultPaper, options));
    }
    return SheetPlan(std::move(sheets), shared && media.front() ? *media.front() : QString(),
                     foreground);
}

}  // namespace pbp::visio
