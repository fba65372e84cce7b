// Drawings written by the tests, rendered to images and PDF and checked the way a reader of the
// printout would: what is there, what is left out, and what the text says; and path geometry
// that is easy to get subtly wrong: arc direction and size, relative commands.

#include <gtest/gtest.h>

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include "printing/engine/render/svg_path.h"
#include "tests/render/render_helpers.h"

namespace pbp {
namespace {

constexpr qreal kDpi = 72;

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += match(image.pixelColor(x, y));
    return n;
}

// Prints the drawing's first page to a PDF; returns the output of `tool` (pdftotext, pdffonts).
QString pdfReport(const render::RecordedDrawing& drawing, const QString& tool) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(drawing.pageSizeInches(0), QPageSize::Inch));
        writer.setPageMargins({});
        writer.setResolution(1200);
        QPainter painter(&writer);
        painter.scale(1200.0 / 72, 1200.0 / 72);
        drawing.paintPage(0, painter);
    }
    QProcess process;
    process.start(tool, tool == "pdftotext" ? QStringList{pdf, "-"} : QStringList{pdf});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(RenderFixture, ShapesOnANonPrintingLayerAreLeftOutAndTheRestIsPainted) {
    const render::RecordedDrawing drawing =
        test::recordVdx(4, 3,
                        {{.pinY = 1.5, .layer = 1, .text = "Hidden words"},
                         {.pinX = 3, .pinY = 1.5, .fill = "#0000ff", .text = "Printed words"}});
    ASSERT_EQ(drawing.pageCount(), 1);
    EXPECT_EQ(drawing.pageSizeInches(0), QSizeF(4, 3));

    const QImage first = test::renderPage(drawing, 0, kDpi);
    EXPECT_EQ(first.pixelColor(1.1 * kDpi, 1.9 * kDpi), QColor(Qt::white)) << "hidden shape drawn";
    EXPECT_EQ(first.pixelColor(3.1 * kDpi, 1.9 * kDpi), QColor(Qt::blue));
    // The display list replays: a second paint gives the same page.
    EXPECT_EQ(test::renderPage(drawing, 0, kDpi), first);

    const QString text = pdfReport(drawing, "pdftotext");
    EXPECT_TRUE(text.contains("Printed words")) << text.toStdString();
    EXPECT_FALSE(text.contains("Hidden")) << text.toStdString();
}

TEST(RenderFixture, UnknownFontsPrintWithAMetricCompatibleFamily) {
    test::VdxShape shape{.fill = "#ffffff", .text = "Bogus face", .font = "NoSuchFontFamily 1"};
    const render::RecordedDrawing bogus = test::recordVdx(4, 2, {shape});
    EXPECT_TRUE(pdfReport(bogus, "pdftotext").contains("Bogus face"));
    EXPECT_TRUE(pdfReport(bogus, "pdffonts").contains("LiberationSans"));
    shape.font = "Calibri";
    EXPECT_TRUE(pdfReport(test::recordVdx(4, 2, {shape}), "pdffonts").contains("Carlito"));
}

TEST(RenderFixture, HatchFillsShowBothColoursAndArrowheadsStandOutOfTheLine) {
    const test::VdxShape hatched{.pinX = 1.5,
                                 .pinY = 1.5,
                                 .width = 2,
                                 .height = 2,
                                 .fill = "#0000ff",
                                 .fillPattern = 2,
                                 .fillBackground = "#ffff00"};
    const test::VdxShape arrow{.pinX = 4.5,
                               .pinY = 1.5,
                               .height = 2,
                               .fillPattern = 0,
                               .closed = false,
                               .lineXml = "<EndArrow>5</EndArrow><EndArrowSize>4</EndArrowSize>"};
    const QImage image = test::renderPage(test::recordVdx(6, 3, {hatched, arrow}), 0, kDpi);

    const QRect inside(int(0.7 * kDpi), int(0.7 * kDpi), int(1.6 * kDpi), int(1.6 * kDpi));
    const int blue =
        countPixels(image, inside, [](QColor c) { return c.blue() > 200 && c.red() < 80; });
    const int yellow =
        countPixels(image, inside, [](QColor c) { return c.red() > 200 && c.blue() < 80; });
    EXPECT_GT(blue, 50) << "no hatch lines";
    EXPECT_GT(yellow, inside.width() * inside.height() / 3) << "no hatch background";

    // The open path starts at the bottom-left corner of its box (4, 0.5 in) and ends at the
    // top-left one (4, 2.5 in), where the arrowhead inks clearly more than the bare line end.
    const auto inkAround = [&](double xIn, double yIn) {
        const QRect area(int(xIn * kDpi) - 8, int((3 - yIn) * kDpi) - 8, 17, 17);
        return countPixels(image, area, [](QColor c) { return c.lightness() < 160; });
    };
    EXPECT_GT(inkAround(4, 2.5), 1.5 * inkAround(4, 0.5));
}

// The path from (0, 0) with one arc appended.
QPainterPath arc(double rx, double ry, double angle, bool large, bool sweep, QPointF to) {
    QPainterPath path(QPointF(0, 0));
    render::appendSvgArc(path, rx, ry, angle, large, sweep, to);
    return path;
}

void expectNear(const QPointF& actual, const QPointF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 0.5);
    EXPECT_NEAR(actual.y(), expected.y(), 0.5);
}

TEST(SvgArc, SweepFlagAndLargeArcChooseTheRightHalfAndSize) {
    // y grows downwards: a positive sweep from (0,0) to (100,0) passes above, through y = -50.
    const QPainterPath sweep = arc(50, 50, 0, false, true, {100, 0});
    expectNear(sweep.pointAtPercent(0.5), {50, -50});
    EXPECT_EQ(sweep.currentPosition(), QPointF(100, 0));
    expectNear(arc(50, 50, 0, false, false, {100, 0}).pointAtPercent(0.5), {50, 50});
    // A quarter of a circle of radius 100: the small arc bulges 29 units, the large one 171.
    EXPECT_NEAR(arc(100, 100, 0, false, true, {100, 100}).length(), M_PI * 50, 1);
    EXPECT_NEAR(arc(100, 100, 0, true, true, {100, 100}).length(), M_PI * 150, 2);
    // Radii too small for the chord are scaled up to a half ellipse, never dropped.
    expectNear(arc(10, 10, 0, false, true, {100, 0}).pointAtPercent(0.5), {50, -50});
    // A rotated ellipse: axes 100 x 50 turned by 90 degrees runs 100 units tall.
    EXPECT_NEAR(arc(100, 50, 90, false, true, {0, 200}).boundingRect().width(), 50, 0.5);
}

TEST(SvgPathText, MarkerOutlinesWithRelativeAndImplicitCommandsParse) {
    EXPECT_EQ(render::pathFromSvgText("m10 0-10 10h20z").boundingRect(), QRectF(0, 0, 20, 10));
    const QPainterPath curve = render::pathFromSvgText("M0,0 q10,5 20,0 L20 10 1e1 1E1");
    EXPECT_EQ(curve.currentPosition(), QPointF(10, 10));
    EXPECT_NEAR(curve.boundingRect().height(), 10, 1e-9);
    // Broken data keeps what came before and never loops.
    EXPECT_EQ(render::pathFromSvgText("M0 0 L10 0 X 5 5").currentPosition(), QPointF(10, 0));
    EXPECT_TRUE(render::pathFromSvgText("z 1 2 3").isEmpty());
}

}  // namespace
}  // namespace pbp
