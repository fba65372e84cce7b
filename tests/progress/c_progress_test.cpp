#include <gtest/gtest.h>

#include "progress/c_progress.h"
#include "progress/picture_box.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

// A canvas like the status window's: 289 x 17 pixels outside, 285 x 13 inside.
struct Bar {
    explicit Bar(int outerWidth = 289) {
        box.resize(outerWidth, 17);
        progress.Canvas(&box);
    }
    int filledCells() const {
        int filled = 0;
        const int step = progress.cellWidth() + progress.gap();
        for (int k = 0; k < progress.cellCount(); ++k) {
            const QPoint centre(progress.gap() + k * step + progress.cellWidth() / 2,
                                progress.margin() + progress.cellHeight() / 2);
            if (box.drawing().pixelColor(centre) == progress.foreColor()) ++filled;
        }
        return filled;
    }
    PictureBox box;
    CProgress progress;
};

TEST(CProgress, FitsTheCanvasToWholeCells) {
    test::ScopedFakePlatform fake;
    Bar bar;
    ASSERT_EQ(bar.box.scaleHeight(), 13);
    EXPECT_EQ(bar.progress.cellWidth(), 6);
    EXPECT_EQ(bar.progress.cellHeight(), 9);
    EXPECT_EQ(bar.progress.cellCount(), 31);
    EXPECT_EQ(bar.box.scaleWidth(), 282);
    EXPECT_EQ(bar.box.width(), 286);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(CProgress, FillsCellsToTheNearestWithHalvesToEven) {
    test::ScopedFakePlatform fake;
    Bar bar;
    const std::pair<int, int> cases[] = {{50, 16}, {12, 4}, {100, 31}, {0, 0}, {21, 7}};
    for (const auto& [value, filled] : cases) {
        bar.progress.Value(value);
        EXPECT_EQ(bar.filledCells(), filled) << "value " << value;
    }

    Bar thirty(277);
    ASSERT_EQ(thirty.progress.cellCount(), 30);
    thirty.progress.Value(15);  // 4.5 cells
    EXPECT_EQ(thirty.filledCells(), 4);
    thirty.progress.Value(5);  // 1.5 cells
    EXPECT_EQ(thirty.filledCells(), 2);
}

TEST(CProgress, ClampsValueIgnoresCrossingBoundsAndFillsFromTheMinimum) {
    test::ScopedFakePlatform fake;
    Bar bar;
    bar.progress.Value(150);
    EXPECT_EQ(bar.progress.Value(), 100);
    bar.progress.Value(-5);
    EXPECT_EQ(bar.progress.Value(), 0);
    bar.progress.Max(0);
    EXPECT_EQ(bar.progress.Max(), 100);
    bar.progress.Min(100);
    EXPECT_EQ(bar.progress.Min(), 0);

    // The fill counts from the lower bound.
    bar.progress.Max(150);
    bar.progress.Min(50);
    bar.progress.Value(50);
    EXPECT_EQ(bar.filledCells(), 0);
    bar.progress.Value(100);
    EXPECT_EQ(bar.filledCells(), 16);
}

}  // namespace
}  // namespace pbp
