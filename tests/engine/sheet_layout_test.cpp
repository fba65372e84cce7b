#include <gtest/gtest.h>

#include "printing/engine/sheet_layout.h"

namespace pbp::visio {
namespace {

TEST(PlaceDrawing, CentresSmallDrawingsAndScalesLargeOnesDownKeepingTheirShape) {
    const QRectF area(10, 20, 500, 700);
    const QRectF small = placeDrawing(QSizeF(100, 50), area);
    EXPECT_EQ(small.size(), QSizeF(100, 50));
    EXPECT_EQ(small.center(), area.center());
    const QRectF wide = placeDrawing(QSizeF(2000, 1000), area);
    EXPECT_EQ(wide.size(), QSizeF(500, 250));
    EXPECT_EQ(wide.center(), area.center());
    EXPECT_EQ(placeDrawing(QSizeF(400, 1400), area).size(), QSizeF(200, 700));
    EXPECT_EQ(placeDrawing(QSizeF(0, 0), area), area);
}

TEST(SheetLayout, OnlyTwoMeansLandscape) {
    const QPageSize a4(QPageSize::A4);
    EXPECT_EQ(sheetLayout(a4, QStringLiteral("2")).orientation(), QPageLayout::Landscape);
    EXPECT_EQ(sheetLayout(a4, QStringLiteral(" 2.0 ")).orientation(), QPageLayout::Landscape);
    for (const char* other : {"0", "1", "", "=2+1", "landscape"})
        EXPECT_EQ(sheetLayout(a4, QString::fromLatin1(other)).orientation(), QPageLayout::Portrait)
            << other;
}

TEST(SheetOrder, RepeatsPagesUncollatedOrCollated) {
    EXPECT_EQ(sheetOrder(0, 2, 2, false), (std::vector<int>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(sheetOrder(0, 2, 2, true), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(sheetOrder(1, 1, 1, false), (std::vector<int>{1}));
}

}  // namespace
}  // namespace pbp::visio
