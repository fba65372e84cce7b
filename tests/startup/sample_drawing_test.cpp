#include <gtest/gtest.h>

#include <librevenge-stream/librevenge-stream.h>
#include <librevenge/librevenge.h>
#include <libvisio/libvisio.h>

#include "tests/common/test_paths.h"

namespace {

TEST(SampleDrawing, LibvisioReadsBothPages) {
    const QByteArray path =
        (pbp::test::sourceDir() + QStringLiteral("/resources/samples/sample.vdx")).toLocal8Bit();
    librevenge::RVNGFileStream stream(path.constData());
    ASSERT_TRUE(libvisio::VisioDocument::isSupported(&stream));
    librevenge::RVNGStringVector pages;
    librevenge::RVNGSVGDrawingGenerator generator(pages, "svg");
    ASSERT_TRUE(libvisio::VisioDocument::parse(&stream, &generator));
    ASSERT_EQ(pages.size(), 2u);
    const std::string first = pages[0].cstr();
    const std::string second = pages[1].cstr();
    EXPECT_NE(first.find("PlenBatchPrint sample drawing"), std::string::npos);
    EXPECT_NE(first.find("width=\"8.5000in\" height=\"11.0000in\""), std::string::npos)
        << first.substr(0, 400);
    EXPECT_NE(second.find("A landscape page"), std::string::npos);
    EXPECT_NE(second.find("width=\"11.0000in\" height=\"8.5000in\""), std::string::npos)
        << second.substr(0, 400);
}

}  // namespace
