#include <gtest/gtest.h>

#include <librevenge-stream/librevenge-stream.h>
#include <QFile>
#include <memory>

#include "printing/engine/drawing_file.h"
#include "printing/engine/page_table.h"
#include "tests/common/test_paths.h"

namespace pbp::visio {
namespace {

PageTable tableOf(const QString& path) {
    librevenge::RVNGFileStream stream(QFile::encodeName(path).constData());
    return readPageTable(stream);
}

QString fixture(const QString& name) {
    return test::sourceDir() + QStringLiteral("/tests/fixtures/drawings/") + name;
}

TEST(PageTable, VdxGivesBackgroundFlagsSizesAndOrientationInFileOrder) {
    const PageTable table = tableOf(fixture(QStringLiteral("mixed_pages.vdx")));
    ASSERT_EQ(table.size(), 4u);
    EXPECT_FALSE(table[0].background);
    EXPECT_TRUE(table[1].background);
    EXPECT_EQ(table[1].id, 3u);
    EXPECT_EQ(table[2].widthInches, 11.0);
    EXPECT_EQ(table[2].heightInches, 8.5);
    EXPECT_EQ(table[0].printPageOrientation, QStringLiteral("1"));
    EXPECT_EQ(table[1].printPageOrientation, QStringLiteral("0"));  // no PrintProps at all
    EXPECT_EQ(table[3].printPageOrientation, QStringLiteral("2"));
}

TEST(PageTable, BinaryAndZipDrawingsOfOthers) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    const QString dir = test::sharedTestDataDir();
    const PageTable vsd = tableOf(dir + QStringLiteral("/vsd/tdf76829-datetime-format.vsd"));
    ASSERT_EQ(vsd.size(), 2u);
    EXPECT_FALSE(vsd[0].background);
    EXPECT_TRUE(vsd[1].background);

    const PageTable visio5 = tableOf(dir + QStringLiteral("/vsd/Visio5PlanWithDimensions.vsd"));
    ASSERT_EQ(visio5.size(), 1u);
    EXPECT_FALSE(visio5[0].background);

    const PageTable vsdx = tableOf(dir + QStringLiteral("/vsdx/dwg.vsdx"));
    ASSERT_EQ(vsdx.size(), 1u);
    EXPECT_EQ(vsdx[0].printPageOrientation, QStringLiteral("2"));
    EXPECT_NEAR(*vsdx[0].widthInches, 11.69, 0.01);
}

// Cut-off and scribbled-over streams give a table or PageTableDamaged, never a crash or a hang.
TEST(PageTable, DamagedBinaryStreamsAreSurvived) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    librevenge::RVNGFileStream file(
        QFile::encodeName(test::sharedTestDataDir() + QStringLiteral("/vsd/dwg.vsd")).constData());
    std::unique_ptr<librevenge::RVNGInputStream> stream(file.getSubStreamByName("VisioDocument"));
    ASSERT_TRUE(stream);
    QByteArray whole;
    while (!stream->isEnd()) {
        unsigned long got = 0;
        const unsigned char* bytes = stream->read(4096, got);
        if (!got) break;
        whole.append(reinterpret_cast<const char*>(bytes), qsizetype(got));
    }
    ASSERT_EQ(readVsdPageTable(whole).size(), 1u);
    const auto survives = [](const QByteArray& bytes) {
        try {
            return readVsdPageTable(bytes).size() <= 1;
        } catch (const PageTableDamaged&) {
            return true;
        }
    };
    for (qsizetype length = 0; length < whole.size(); length += 61)
        EXPECT_TRUE(survives(whole.left(length))) << length;
    QByteArray scribbled = whole;
    for (qsizetype at = 0x24; at < scribbled.size(); at += 7) scribbled[at] = char(0xff);
    EXPECT_TRUE(survives(scribbled));
}

TEST(MatchPages, BackgroundPagesFollowByIdAndTakeTheRenderedPagesAfterTheForeground) {
    PageTable table(3);
    table[0].background = true;
    table[0].id = 9;
    table[1].id = 1;
    table[2].background = true;
    table[2].id = 4;
    table[2].printPageOrientation = QStringLiteral("2");
    const std::vector<QSizeF> rendered{{8.5, 11}, {11, 8.5}, {5, 5}};
    const auto pages = matchPages(table, rendered);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_FALSE(pages[0].background);
    EXPECT_EQ(pages[0].renderedIndex, 0);
    EXPECT_EQ(pages[0].widthInches, 8.5);  // the table gave no size
    EXPECT_TRUE(pages[1].background);
    EXPECT_EQ(pages[1].printPageOrientation, QStringLiteral("2"));  // id 4 before id 9
    EXPECT_EQ(pages[1].renderedSizeInches, QSizeF(11, 8.5));
    EXPECT_EQ(pages[2].renderedIndex, 2);
}

TEST(MatchPages, WithoutATableOrWithoutRenderedPages) {
    const auto untabled = matchPages({}, {{1, 2}, {3, 4}});
    ASSERT_EQ(untabled.size(), 2u);
    EXPECT_FALSE(untabled[1].background);
    EXPECT_EQ(untabled[1].heightInches, 4.0);

    PageTable onlyBackground(1);
    onlyBackground[0].background = true;
    onlyBackground[0].widthInches = 8.5;
    const auto pages = matchPages(onlyBackground, {});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].background);
    EXPECT_EQ(pages[0].renderedIndex, -1);
    EXPECT_EQ(pages[0].widthInches, 8.5);

    PageTable twoForeground(2);
    EXPECT_EQ(matchPages(twoForeground, {{1, 1}}).size(), 1u);
}

}  // namespace
}  // namespace pbp::visio
