// Page counts and sizes of real drawings written by others, as libvisio 0.1.7 reports them.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "support/vb_error.h"
#include "tests/common/test_paths.h"
#include "tests/render/render_helpers.h"

namespace pbp {
namespace {

QString shared(const QString& relative) {
    return test::sharedTestDataDir() + "/" + relative;
}

TEST(SharedDrawings, PageCountsAndSizesMatchTheFile) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    struct Expected {
        const char* file;
        int pages;
        QSizeF firstPageInches;
    };
    const Expected expected[] = {
        {"vdx/animation_tests.vdx", 3, {8.5, 11}},
        {"vdx/curve_tests.vdx", 2, {8.5, 11}},
        {"vdx/text_tests.vdx", 5, {17, 11}},
        {"vdx/basic_tests.vdx", 1, {11, 8.5}},
        {"vsd/tdf76829-datetime-format.vsd", 2, {11.6929, 8.2677}},
        {"vsd/dwg.vsd", 1, {11.6929, 8.2677}},
        {"vsd/Visio5TextFieldsWithUnits.vsd", 1, {8.5, 11}},
        {"vsdx/recursion-cycle.vsdx", 2, {0, 0}},
        {"vsdx/tdf136564-WhiteTextBackground.vsdx", 1, {10.1181, 7.1654}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.file);
        const render::RecordedDrawing drawing = test::recordFile(shared(e.file));
        ASSERT_EQ(drawing.pageCount(), e.pages);
        EXPECT_NEAR(drawing.pageSizeInches(0).width(), e.firstPageInches.width(), 1e-3);
        EXPECT_NEAR(drawing.pageSizeInches(0).height(), e.firstPageInches.height(), 1e-3);
    }
    const render::RecordedDrawing text = test::recordFile(shared("vdx/text_tests.vdx"));
    EXPECT_NEAR(text.pageSizeInches(1).width(), 11, 1e-3);
    EXPECT_NEAR(text.pageSizeInches(1).height(), 8.5, 1e-3);
}

TEST(SharedDrawings, EveryPageOfEveryDrawingPaintsSomething) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    int painted = 0;
    for (const char* folder : {"vsd", "vdx", "vsdx"}) {
        for (const QFileInfo& file :
             QDir(shared(QString::fromLatin1(folder))).entryInfoList(QDir::Files)) {
            SCOPED_TRACE(file.fileName().toStdString());
            const render::RecordedDrawing drawing = test::recordFile(file.filePath());
            for (int page = 0; page < drawing.pageCount(); ++page) {
                if (drawing.pageSizeInches(page).isEmpty()) continue;
                const QImage image = test::renderPage(drawing, page, 24);
                bool inked = false;
                for (int y = 0; y < image.height() && !inked; ++y)
                    for (int x = 0; x < image.width() && !inked; ++x)
                        inked = image.pixel(x, y) != qRgb(255, 255, 255);
                // Background pages of some drawings are blank; foreground page 1 never is.
                if (page == 0) {
                    EXPECT_TRUE(inked) << "page " << page << " is blank";
                }
                painted += inked;
            }
        }
    }
    EXPECT_GT(painted, 20);
}

}  // namespace
}  // namespace pbp
