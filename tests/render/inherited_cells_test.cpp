// Shapes inside groups that hold few or no cells of their own print with what they inherit from
// their own master: size, place, colours, outline and text.

#include <gtest/gtest.h>
#include <librevenge-stream/librevenge-stream.h>

#include <QImage>
#include <QPainter>

#include "printing/engine/render/recorded_drawing.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using render::RecordedDrawing;

RecordedDrawing recordPath(const QString& path) {
    librevenge::RVNGFileStream stream(path.toLocal8Bit().constData());
    return RecordedDrawing::record(stream);
}

// Page `index` painted at `dpi`; `count` tells how many pixels match in a box given in inches
// from the page's top-left corner.
struct Page {
    QImage image;
    qreal dpi;

    Page(const RecordedDrawing& drawing, int index, qreal dpi_) : dpi(dpi_) {
        const QSizeF inches = drawing.pageSizeInches(index);
        image = QImage(qRound(inches.width() * dpi), qRound(inches.height() * dpi),
                       QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(dpi / 72, dpi / 72);
        drawing.paintPage(index, painter);
    }

    int count(QRectF inches, const std::function<bool(QColor)>& match) const {
        const QRect box = QRect(qRound(inches.x() * dpi), qRound(inches.y() * dpi),
                                qRound(inches.width() * dpi), qRound(inches.height() * dpi))
                              .intersected(image.rect());
        int found = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) found += match(image.pixelColor(x, y));
        return found;
    }
};

// Within 24 of the colour on each channel.
std::function<bool(QColor)> near(QColor colour) {
    return [colour](QColor c) {
        return std::abs(c.red() - colour.red()) < 24 && std::abs(c.green() - colour.green()) < 24 &&
               std::abs(c.blue() - colour.blue()) < 24;
    };
}

// Around a point, in inches.
QRectF around(qreal x, qreal y, qreal half = 0.04) {
    return QRectF(x - half, y - half, 2 * half, 2 * half);
}

TEST(InheritedCells, ShapesWithoutCellsOfTheirOwnPrintTheirMasters) {
    // Page 2, 4 x 3 in, a plain group from 0.5 to 3.5 in across, 0.5 to 2.5 in down, holding:
    // - an instance of master 3 (a group) with only its pin, 1 in and 0.5 in up in the group;
    //   its sub-shape holds nothing: from master shape 11 it takes a 1 x 0.5 in box filled
    //   #ffff80, a 0.04 in #00c000 line and the text "MMM", from 1 to 2 in across and 1.75 to
    //   2.25 in down;
    // - an instance of master 2 with only its pin (2.5, 1.5 in the group): the 1 in red square
    //   from 2.5 to 3.5 in across and 0.5 to 1.5 in down.
    const Page page(recordPath(test::fixtureDrawing(QStringLiteral("inherited_outline.vdx"))), 1,
                    72);
    const auto fill = near(QColor(0xff, 0xff, 0x80));
    const auto green = near(QColor(0x00, 0xc0, 0x00));
    const auto red = near(QColor(0xff, 0x00, 0x00));
    const auto dark = [](QColor c) { return c.lightness() < 100; };
    EXPECT_GT(page.count(around(1.2, 1.85), fill), 20) << "master's fill";
    for (QPointF edge : {QPointF(1, 2), QPointF(2, 2), QPointF(1.5, 1.75), QPointF(1.5, 2.25)})
        EXPECT_GT(page.count(around(edge.x(), edge.y()), green), 0)
            << "outline at " << edge.x() << ", " << edge.y();
    EXPECT_GT(page.count(QRectF(1.1, 1.85, 0.8, 0.3), dark), 20) << "master's text";
    for (QPointF edge : {QPointF(2.5, 1), QPointF(3.5, 1), QPointF(3, 0.5), QPointF(3, 1.5)})
        EXPECT_GT(page.count(around(edge.x(), edge.y()), red), 0)
            << "square at " << edge.x() << ", " << edge.y();
    const auto inked = [](QColor c) { return c.lightness() < 240; };
    EXPECT_EQ(page.count(QRectF(0, 0, 4, 0.4), inked) + page.count(QRectF(0, 2.4, 4, 0.6), inked),
              0)
        << "ink outside the shapes' places";
}

// In this drawing's page 3, group 128 (6.54 to 7.39 in across, 3.9 to 4.55 in up) holds an
// instance of master 21 whose sub-shapes hold no size, place or colour of their own: shape 131
// fills the group's box #ffffcc, shape 132 a strip #eef2f7 from 0.44 to 0.52 in below its top.
TEST(InheritedCells, RealGroupedShapesTakeTheirMastersCells) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    const RecordedDrawing drawing =
        recordPath(test::sharedTestDataDir() + QStringLiteral("/real/60973.vsdx"));
    ASSERT_GE(drawing.pageCount(), 3);
    const Page page(drawing, 2, 36);
    const qreal top = drawing.pageSizeInches(2).height() - 4.55;
    EXPECT_GT(page.count(QRectF(6.6, top + 0.55, 0.7, 0.07), near(QColor(0xff, 0xff, 0xcc))), 10)
        << "shape 131's fill";
    const auto strip = [](QColor c) { return c.red() > 200 && c.blue() - c.red() >= 5; };
    EXPECT_GT(page.count(QRectF(6.7, top + 0.45, 0.5, 0.06), strip), 4) << "shape 132's fill";
}

}  // namespace
}  // namespace pbp
