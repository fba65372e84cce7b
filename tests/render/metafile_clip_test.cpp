// Clip regions of metafile pictures: what the records clip away does not print, and what they
// leave inside prints where they put it.

#include <gtest/gtest.h>
#include <librevenge-stream/librevenge-stream.h>

#include <QPainter>

#include "printing/engine/render/recorded_drawing.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using render::RecordedDrawing;

// Page `index` of the drawing in `path` painted on white at `dpi`.
QImage paintedPage(const QString& path, int index, qreal dpi) {
    librevenge::RVNGFileStream stream(path.toLocal8Bit().constData());
    const RecordedDrawing drawing = RecordedDrawing::record(stream);
    const QSizeF inches = drawing.pageSizeInches(index);
    QImage image(qRound(inches.width() * dpi), qRound(inches.height() * dpi), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dpi / 72, dpi / 72);
    drawing.paintPage(index, painter);
    return image;
}

// How many pixels of the rectangle (in inches) `match` accepts, and how many it holds.
std::pair<int, int> countIn(const QImage& page, qreal dpi, QRectF inches, bool (*match)(QColor)) {
    const QRect area(QPoint(qRound(inches.left() * dpi), qRound(inches.top() * dpi)),
                     QPoint(qRound(inches.right() * dpi) - 1, qRound(inches.bottom() * dpi) - 1));
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += match(page.pixelColor(x, y));
    return {count, area.width() * area.height()};
}

bool red(QColor c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

// The EMF of metafile_arcs.vdx (tests/fixtures/make_picture_drawings.py), 2 in across and
// 0.5 in down, and its WMF 3.5 in down, 100 units an inch: a red pie about (100, 100) of radius 100
// drawn under a clip of (0, 0)..(200, 150) with (20, 60)..(60, 100) excluded, then, with the clip
// restored, a red bar at (0, 185)..(40, 200).
TEST(MetafileClip, InkOutsideTheClipInForceDoesNotPrint) {
    constexpr qreal dpi = 100;
    const QImage page =
        paintedPage(test::fixtureDrawing(QStringLiteral("metafile_arcs.vdx")), 0, dpi);
    for (const qreal down : {0.5, 3.5}) {
        const auto units = [down](qreal left, qreal top, qreal right, qreal bottom) {
            return QRectF(QPointF(2 + left / 100, down + top / 100),
                          QPointF(2 + right / 100, down + bottom / 100));
        };
        EXPECT_EQ(countIn(page, dpi, units(0, 152, 200, 183), red).first, 0) << down;
        EXPECT_EQ(countIn(page, dpi, units(22, 62, 58, 98), red).first, 0) << "hole " << down;
        for (const QRectF& inside :
             {units(65, 65, 95, 145), units(105, 105, 180, 145), units(2, 187, 38, 198)}) {
            const auto [count, all] = countIn(page, dpi, inside, red);
            EXPECT_EQ(count, all) << inside.x() << "," << inside.y();
        }
    }
}

// The embedded Excel chart (real/visio_with_embeded.vsd, page 1, 7.36 x 2.03 in at
// (0.56 in, 2.93 in); its EMF preview is 707 x 195 pixels of 1/96 in) clips its plot to a
// rectangle and excludes the legend's: the grid lines across the plot, at y = 98, 72 and 47
// (of 150 up to 21) between x = 88 and 466, stay (a converter that takes the excluded legend for
// the clip loses them).
TEST(MetafileClip, TheEmbeddedExcelChartKeepsItsGridLines) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    constexpr qreal dpi = 192;
    const QImage page =
        paintedPage(test::sharedTestDataDir() + "/real/visio_with_embeded.vsd", 0, dpi);
    const auto pixels = [](qreal left, qreal top, qreal right, qreal bottom) {
        return QRectF(QPointF(0.5566 + left / 96, 2.9346 + top / 96),
                      QPointF(0.5566 + right / 96, 2.9346 + bottom / 96));
    };
    const auto dark = [](QColor c) { return c.lightness() < 100; };
    for (const int y : {47, 72, 98}) {
        const auto [count, all] = countIn(page, dpi, pixels(90, y - 0.5, 464, y + 0.5), dark);
        EXPECT_GT(count, all / 3) << "no grid line at " << y;
    }
}

}  // namespace
}  // namespace pbp
