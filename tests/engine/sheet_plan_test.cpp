#include <gtest/gtest.h>

#include "printing/engine/sheet_layout.h"
#include "printing/engine/sheet_plan.h"

namespace pbp::visio {
namespace {

DrawingPage page(double width, double height, PrintOrientation orientation = {},
                 bool background = false) {
    DrawingPage page;
    page.background = background;
    page.widthInches = width;
    page.heightInches = height;
    page.orientation = orientation;
    page.name = QStringLiteral("P%1x%2").arg(width).arg(height);
    return page;
}

std::vector<int> order(const SheetPlan& plan) {
    std::vector<int> pages;
    for (const PlannedSheet& sheet : plan.sheets()) pages.push_back(sheet.page);
    return pages;
}

// Copies collated and not, a range clipped to the foreground pages, landscape asked for or
// turned, and each drawing centred at its own size or shrunk to the printable area.
TEST(SheetPlan, OrderOrientationAndScaleOfEverySheet) {
    const std::vector<DrawingPage> pages{page(5, 5), page(11, 8.5),
                                         page(34, 22, PrintOrientation::Landscape),
                                         page(17, 11, {}, true)};
    PlanOptions options;
    options.defaultPaper = QPageSize(QPageSize::Letter);
    options.copies = 2;
    options.collate = true;
    const SheetPlan collated = planSheets(pages, options);
    EXPECT_EQ(order(collated), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(collated.foregroundPages(), 3);
    options.collate = false;
    options.fromPage = 2;
    EXPECT_EQ(order(planSheets(pages, options)), (std::vector<int>{1, 1, 2, 2}));

    const std::vector<bool> asked{false, false, true};
    const std::vector<bool> turned{false, true, true};
    options.fromPage = 1;
    options.copies = 1;
    for (const bool turn : {false, true}) {
        options.turnLandscapeShapedPages = turn;
        const SheetPlan plan = planSheets(pages, options);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(plan.sheets()[i].landscape, (turn ? turned : asked)[i]) << i;
    }
    const auto& sheets = planSheets(pages, options).sheets();
    // Letter less the margins: 576 x 756 points, 756 x 576 landscape.
    EXPECT_EQ(sheets[0].scale, 1.0);
    EXPECT_EQ(sheets[0].drawingArea, QRectF(108, 198, 360, 360));
    EXPECT_DOUBLE_EQ(sheets[2].scale, 756.0 / (34 * 72));
    EXPECT_DOUBLE_EQ(sheets[2].drawingArea.width(), 756);
    EXPECT_EQ(sheets[2].pageName, QStringLiteral("P34x22"));
    EXPECT_EQ(sheets[2].paper, QPageSize(QPageSize::Letter));

    options.toPage = 1;
    EXPECT_EQ(order(planSheets(pages, options)), std::vector<int>{0});
    EXPECT_TRUE(planSheets({pages[3]}, options).sheets().empty());
    EXPECT_EQ(planSheets({pages[3]}, options).foregroundPages(), 0);
}

// Only a number 1 or 2, after an optional "=" and before an optional unit, is an orientation.
TEST(SheetPlan, PrintOrientationFormulasAndPapers) {
    const std::pair<const char*, PrintOrientation> formulas[] = {
        {"2", PrintOrientation::Landscape},   {" =2 ", PrintOrientation::Landscape},
        {"2in", PrintOrientation::Landscape}, {"2.0", PrintOrientation::Landscape},
        {"1", PrintOrientation::Portrait},    {"0", PrintOrientation::None},
        {"3", PrintOrientation::None},        {"x", PrintOrientation::None},
        {"2,0", PrintOrientation::None},      {"=2+1", PrintOrientation::None},
        {"", PrintOrientation::None}};
    for (const auto& [formula, orientation] : formulas)
        EXPECT_EQ(parsePrintOrientation(QString::fromLatin1(formula)), orientation) << formula;

    const std::pair<int, QPageSize::PageSizeId> papers[] = {
        {1, QPageSize::Letter}, {3, QPageSize::Tabloid}, {5, QPageSize::Legal},
        {8, QPageSize::A3},     {9, QPageSize::A4},      {11, QPageSize::A5}};
    for (const auto& [kind, id] : papers) EXPECT_EQ(paperForKind(kind)->id(), id) << kind;
    EXPECT_FALSE(paperForKind(0));
    EXPECT_FALSE(paperForKind(4000));
}

}  // namespace
}  // namespace pbp::visio
