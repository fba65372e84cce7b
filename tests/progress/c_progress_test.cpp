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

TEST(CProgress, FitsThe285By13CanvasToWholeCellsAndFillsFromTheMinimumToTheNearestHalvesToEven) {
    test::ScopedFakePlatform fake;
    Bar bar;
    ASSERT_EQ(bar.progress.cellCount(), 31);
    for (const auto& [value, filled] : {std::pair{50, 16}, {100, 31}, {0, 0}}) {
        bar.progress.Value(value);
        EXPECT_EQ(bar.filledCells(), filled) << "value " << value;
    }
    Bar thirty(277);
    ASSERT_EQ(thirty.progress.cellCount(), 30);
    for (const auto& [value, filled] : {std::pair{15, 4}, {5, 2}}) {  // 4.5 and 1.5 cells
        thirty.progress.Value(value);
        EXPECT_EQ(thirty.filledCells(), filled) << "value " << value;
    }
    // Values clamp, a bound that would cross the other is ignored, the fill counts from Min.
    bar.progress.Value(150);
    EXPECT_EQ(bar.progress.Value(), 100);
    bar.progress.Max(0);
    EXPECT_EQ(bar.progress.Max(), 100);
    bar.progress.Max(150);
    bar.progress.Min(50);
    bar.progress.Value(-5);
    EXPECT_EQ(bar.filledCells(), 0);
    bar.progress.Value(100);
    EXPECT_EQ(bar.filledCells(), 16);
    EXPECT_TRUE(fake.messages.shown.empty());
}

}  // namespace
}  // namespace pbp
