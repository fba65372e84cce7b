#include <gtest/gtest.h>

#include "printing/engine/sheet_layout.h"
#include "printing/engine/sheet_plan.h"

namespace pbp::visio {
namespace {

DrawingPage page(double width, double height, PrintOrientation orientation = {}) {
    DrawingPage page;
    page.widthInches = width;
    page.heightInches = height;
    page.orientation = orientation;
    page.name = QStringLiteral("%1x%2").arg(width).arg(height);
    return page;
}

std::vector<int> order(const std::vector<DrawingPage>& pages, const PlanOptions& options) {
    std::vector<int> order;
    for (const PlannedSheet& sheet : planSheets(pages, options).sheets())
        order.push_back(sheet.page);
    return order;
}

// Copies collated and not, a range clipped to the foreground pages, landscape asked for or
// turned, and each drawing centred at its own size, shrunk to the printable area, or filling it.
TEST(SheetPlan, OrderOrientationAndScaleOfEverySheet) {
    std::vector<DrawingPage> pages{page(5, 5), page(7, 5),
                                   page(34, 22, PrintOrientation::Landscape), page(0, 0)};
    pages[3].background = true;
    PlanOptions options{1, kLastPage, 2, true, QPageSize(QPageSize::Letter)};
    EXPECT_EQ(order(pages, options), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(order(pages, {2, kLastPage, 2, false}), (std::vector<int>{1, 1, 2, 2}));
    EXPECT_EQ(order(pages, {1, 1, 1}), std::vector<int>{0});
    EXPECT_TRUE(planSheets({pages[3]}, options).sheets().empty());
    EXPECT_EQ(planSheets(pages, options).foregroundPages(), 3);

    options.copies = 1;
    for (const bool turn : {false, true}) {
        options.turnLandscapeShapedPages = turn;
        const auto& sheets = planSheets(pages, options).sheets();
        EXPECT_EQ(sheets[0].landscape, false);
        EXPECT_EQ(sheets[1].landscape, turn);
        EXPECT_EQ(sheets[2].landscape, true);
    }
    pages[0] = page(0, 0);
    const auto& sheets = planSheets(pages, options).sheets();
    // Letter less the margins: 576 x 756 points, 756 x 576 landscape.
    EXPECT_EQ(sheets[0].drawingArea, QRectF(0, 0, 576, 756));
    EXPECT_EQ(sheets[1].scale, 1.0);
    EXPECT_EQ(sheets[1].drawingArea, QRectF(126, 108, 504, 360));
    EXPECT_DOUBLE_EQ(sheets[2].scale, 756.0 / (34 * 72));
    EXPECT_DOUBLE_EQ(sheets[2].drawingArea.width(), 756);
    EXPECT_EQ(sheets[2].pageName, QStringLiteral("34x22"));
    EXPECT_EQ(sheets[2].paper, QPageSize(QPageSize::Letter));
}

// Only a number 1 or 2, after an optional "=" and before an optional "in", is an orientation.
TEST(SheetPlan, PrintOrientationFormulasAndPapers) {
    const auto parsed = [](const char* formula) {
        return parsePrintOrientation(QString::fromLatin1(formula));
    };
    for (const char* formula : {"2", " =2 ", "2in", "2.0"})
        EXPECT_EQ(parsed(formula), PrintOrientation::Landscape) << formula;
    EXPECT_EQ(parsed("1"), PrintOrientation::Portrait);
    for (const char* formula : {"0", "3", "x", "2,0", "=2+1", ""})
        EXPECT_EQ(parsed(formula), PrintOrientation::None) << formula;

    // Papers by Windows' numbers, as drawings state them.
    EXPECT_EQ(paperForKind(8)->id(), QPageSize::A3);
    EXPECT_EQ(paperForKind(11)->id(), QPageSize::A5);
    EXPECT_FALSE(paperForKind(0) || paperForKind(4000));
}

}  // namespace
}  // namespace pbp::visio
