#include <gtest/gtest.h>

#include <librevenge-stream/librevenge-stream.h>
#include <QFile>
#include <memory>

#include "printing/engine/drawing_file.h"
#include "printing/engine/page_table.h"
#include "printing/engine/sheet_layout.h"
#include "tests/common/test_paths.h"

namespace pbp::visio {
namespace {

PageTable tableOf(const QString& relative) {
    const QString path = test::sharedTestDataDir() + QLatin1Char('/') + relative;
    librevenge::RVNGFileStream stream(QFile::encodeName(path).constData());
    return readPageTable(stream);
}

TEST(PageTable, BinaryAndZipDrawingsOfOthers) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    const PageTable vsd = tableOf(QStringLiteral("vsd/tdf76829-datetime-format.vsd"));
    ASSERT_EQ(vsd.size(), 2u);
    EXPECT_FALSE(vsd[0].background);
    EXPECT_TRUE(vsd[1].background);
    EXPECT_EQ(tableOf(QStringLiteral("vsd/Visio5PlanWithDimensions.vsd")).size(), 1u);
    const PageTable vsdx = tableOf(QStringLiteral("vsdx/dwg.vsdx"));
    ASSERT_EQ(vsdx.size(), 1u);
    EXPECT_EQ(vsdx[0].printPageOrientation, QStringLiteral("2"));
    EXPECT_NEAR(*vsdx[0].widthInches, 11.69, 0.01);
}

// Page sheet cells of elements other than a Page neither crash the reader nor reach a page.
TEST(PageTable, XmlCellsOutsideAPageAreIgnored) {
    const auto sheet = [](const char* width) {
        return QByteArray("<PageSheet><PageProps><PageWidth>") + width +
               "</PageWidth></PageProps></PageSheet>";
    };
    const QByteArray xml = "<VisioDocument><Pages><Stray>" + sheet("2") + "</Stray><Page ID='3'>" +
                           sheet("5") + "</Page><Stray>" + sheet("7") +
                           "</Stray></Pages></VisioDocument>";
    const PageTable table = readVdxPageTable(xml);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].widthInches, 5.0);
}

// Shapes, nested in groups or empty, are passed over without losing the pages around them; a
// Shapes element that never ends means a damaged file.
TEST(PageTable, XmlShapesArePassedOver) {
    const QByteArray sheet =
        "<PageSheet><PageProps><PageWidth>4</PageWidth></PageProps></PageSheet>";
    const QByteArray shapes =
        "<Shapes><Shape><Shapes ><Shape><Text>&lt;Shapes&gt;</Text></Shape>"
        "</Shapes></Shape><ShapesX/></Shapes>";
    const QByteArray xml = "<VisioDocument><Pages><Page ID='1'>" + shapes + sheet +
                           "</Page><Page ID='2' Background='1'><Shapes/>" + sheet +
                           "</Page></Pages></VisioDocument>";
    const PageTable table = readVdxPageTable(xml);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].widthInches, 4.0);
    EXPECT_TRUE(table[1].background);
    EXPECT_EQ(table[1].widthInches, 4.0);
    EXPECT_THROW(readVdxPageTable("<VisioDocument><Pages><Page ID='1'><Shapes><Shape></Pages>"),
                 PageTableDamaged);
}

// Groups nested 300,000 deep are cut out in one pass (a search per level from the same start
// took minutes, beyond the test's time limit).
TEST(PageTable, DeeplyNestedGroupsAreReadInOnePass) {
    const int depth = 300000;
    const QByteArray xml = "<VisioDocument><Pages><Page ID='1'>" +
                           QByteArray("<Shapes><Shape>").repeated(depth) +
                           QByteArray("</Shape></Shapes>").repeated(depth) +
                           "<PageSheet><PageProps><PageWidth>4</PageWidth></PageProps></PageSheet>"
                           "</Page></Pages></VisioDocument>";
    const PageTable table = readVdxPageTable(xml);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].widthInches, 4.0);
}

// Cut-off and scribbled-over streams give a table or PageTableDamaged, never a crash or a hang.
TEST(PageTable, DamagedBinaryStreamsAreSurvived) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    librevenge::RVNGFileStream file(
        QFile::encodeName(test::sharedTestDataDir() + QStringLiteral("/vsd/dwg.vsd")).constData());
    std::unique_ptr<librevenge::RVNGInputStream> stream(file.getSubStreamByName("VisioDocument"));
    ASSERT_TRUE(stream);
    unsigned long size = 0;
    const unsigned char* bytes = stream->read(1 << 24, size);
    const QByteArray whole(reinterpret_cast<const char*>(bytes), qsizetype(size));
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

// Background pages follow the foreground ones by id and take the rendered pages after them;
// sizes come from the rendered pages where the table gives none.
// PaperKind as each format keeps it; a page sheet stating none takes the document's style 0.
TEST(PageTable, PaperKindOfThePageOrOfTheDocumentsStyle) {
    const QByteArray vdx =
        "<VisioDocument><StyleSheets><StyleSheet ID='1'><PrintProps><PaperKind>5</PaperKind>"
        "</PrintProps></StyleSheet><StyleSheet ID='0'><PrintProps><PaperKind>1</PaperKind>"
        "</PrintProps></StyleSheet></StyleSheets><Pages><Page ID='0'><PageSheet><PrintProps>"
        "<PaperKind>8</PaperKind></PrintProps></PageSheet></Page><Page ID='1'/></Pages>"
        "</VisioDocument>";
    const PageTable xml = readVdxPageTable(vdx);
    ASSERT_EQ(xml.size(), 2u);
    EXPECT_EQ(xml[0].paperKind, 8);
    EXPECT_EQ(xml[1].paperKind, 1);

    PLEN_REQUIRE_SHARED_TESTDATA();
    EXPECT_EQ(tableOf(QStringLiteral("vsdx/tdf136564-WhiteTextBackground.vsdx"))[0].paperKind, 13);
    EXPECT_EQ(tableOf(QStringLiteral("vsdx/testfile1.vsdx"))[0].paperKind, 9);  // from style 0
    EXPECT_EQ(tableOf(QStringLiteral("vsd/dwg.vsd"))[0].paperKind, 9);
    EXPECT_EQ(tableOf(QStringLiteral("vsd/fdo86729-ms1252.vsd"))[0].paperKind, 1);
}

TEST(MatchPages, TableAndRenderedPagesOfAnyCount) {
    const PageTable table{{9, true, {}, {}, "0"}, {1, false, {}, {}, "0"}, {4, true, {}, {}, "2"}};
    const auto pages = matchPages(table, {{8.5, 11}, {11, 8.5}, {5, 5}});
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_FALSE(pages[0].background);
    EXPECT_EQ(pages[0].widthInches, 8.5);
    EXPECT_TRUE(pages[1].background);
    EXPECT_EQ(pages[1].printPageOrientation, QStringLiteral("2"));
    EXPECT_EQ(pages[1].renderedSizeInches, QSizeF(11, 8.5));
    EXPECT_EQ(pages[2].renderedIndex, 2);

    EXPECT_EQ(matchPages({}, {{1, 2}, {3, 4}}).at(1).heightInches, 4.0);
    const auto unrendered = matchPages({{0, true, 8.5, {}, "0"}}, {});
    ASSERT_EQ(unrendered.size(), 1u);
    EXPECT_EQ(unrendered[0].renderedIndex, -1);
    EXPECT_EQ(unrendered[0].widthInches, 8.5);
    EXPECT_EQ(matchPages(PageTable(2), {{1, 1}}).size(), 1u);
}

TEST(SheetLayout, PlacesDrawingsAndOnlyTwoMeansLandscape) {
    const QRectF area(10, 20, 500, 700);
    const QRectF small = placeDrawing(QSizeF(100, 50), area);
    EXPECT_EQ(small.size(), QSizeF(100, 50));
    EXPECT_EQ(small.center(), area.center());
    EXPECT_EQ(placeDrawing(QSizeF(2000, 1000), area).size(), QSizeF(500, 250));
    EXPECT_EQ(placeDrawing(QSizeF(400, 1400), area).size(), QSizeF(200, 700));
    EXPECT_EQ(placeDrawing(QSizeF(0, 0), area), area);

    const QPageSize a4(QPageSize::A4);
    const std::pair<const char*, bool> formulas[] = {
        {"2", true}, {" 2.0 ", true}, {"1", false}, {"=2+1", false}};
    for (const auto& [formula, landscape] : formulas)
        EXPECT_EQ(
            sheetLayout(a4, QString::fromLatin1(formula)).orientation() == QPageLayout::Landscape,
            landscape)
            << formula;
    EXPECT_EQ(sheetOrder(0, 2, 2, true), (std::vector<int>{0, 1, 2, 0, 1, 2}));

    const std::pair<int, QPageSize::PageSizeId> papers[] = {
        {1, QPageSize::Letter}, {3, QPageSize::Tabloid}, {5, QPageSize::Legal},
        {8, QPageSize::A3},     {9, QPageSize::A4},      {11, QPageSize::A5}};
    for (const auto& [kind, id] : papers) EXPECT_EQ(paperForKind(kind)->id(), id) << kind;
    EXPECT_FALSE(paperForKind(0));
    EXPECT_FALSE(paperForKind(4000));
}

}  // namespace
}  // namespace pbp::visio
