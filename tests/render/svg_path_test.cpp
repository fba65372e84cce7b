// Path geometry that is easy to get subtly wrong: arc direction and size, relative commands.

#include <gtest/gtest.h>

#include "printing/engine/render/svg_path.h"

namespace pbp {
namespace {

void expectNear(const QPointF& actual, const QPointF& expected, double tolerance = 0.5) {
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}

TEST(SvgArc, SweepFlagAndLargeArcChooseTheRightHalfAndSize) {
    // y grows downwards: a positive sweep from (0,0) to (100,0) passes above, through y = -50.
    QPainterPath sweep(QPointF(0, 0));
    render::appendSvgArc(sweep, 50, 50, 0, false, true, {100, 0});
    expectNear(sweep.pointAtPercent(0.5), {50, -50});
    expectNear(sweep.currentPosition(), {100, 0}, 1e-9);

    QPainterPath counter(QPointF(0, 0));
    render::appendSvgArc(counter, 50, 50, 0, false, false, {100, 0});
    expectNear(counter.pointAtPercent(0.5), {50, 50});

    // A quarter of a circle of radius 100: the small arc bulges 29 units, the large one 171.
    QPainterPath small(QPointF(0, 0));
    render::appendSvgArc(small, 100, 100, 0, false, true, {100, 100});
    QPainterPath large(QPointF(0, 0));
    render::appendSvgArc(large, 100, 100, 0, true, true, {100, 100});
    EXPECT_NEAR(small.length(), M_PI * 50, 1);
    EXPECT_NEAR(large.length(), M_PI * 150, 2);

    // Radii too small for the chord are scaled up to a half ellipse, never dropped.
    QPainterPath tooSmall(QPointF(0, 0));
    render::appendSvgArc(tooSmall, 10, 10, 0, false, true, {100, 0});
    expectNear(tooSmall.pointAtPercent(0.5), {50, -50});

    // A rotated ellipse: axes 100 x 50 turned by 90 degrees runs 100 units tall.
    QPainterPath rotated(QPointF(0, 0));
    render::appendSvgArc(rotated, 100, 50, 90, false, true, {0, 200});
    EXPECT_NEAR(rotated.boundingRect().width(), 50, 0.5);
}

TEST(SvgPathText, MarkerOutlinesWithRelativeAndImplicitCommandsParse) {
    const QPainterPath triangle = render::pathFromSvgText("m10 0-10 10h20z");
    EXPECT_EQ(triangle.boundingRect(), QRectF(0, 0, 20, 10));

    const QPainterPath curve = render::pathFromSvgText("M0,0 q10,5 20,0 L20 10 1e1 1E1");
    EXPECT_EQ(curve.currentPosition(), QPointF(10, 10));
    EXPECT_NEAR(curve.boundingRect().height(), 10, 1e-9);

    // Broken data keeps what came before and never loops.
    EXPECT_EQ(render::pathFromSvgText("M0 0 L10 0 X 5 5").currentPosition(), QPointF(10, 0));
    EXPECT_TRUE(render::pathFromSvgText("z 1 2 3").isEmpty());
    EXPECT_TRUE(render::pathFromSvgText("").isEmpty());
}

}  // namespace
}  // namespace pbp
