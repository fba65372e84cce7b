#include <gtest/gtest.h>

#include <librevenge-stream/librevenge-stream.h>
#include <QFile>
#include <QtEndian>

#include "printing/engine/drawing_file.h"
#include "printing/engine/page_table.h"
#include "printing/engine/vsd_page_sheet.h"
#include "tests/common/test_paths.h"

namespace pbp::visio {
namespace {

PageTable tableOf(const QString& relative) {
    const QString path = test::sharedTestDataDir() + QLatin1Char('/') + relative;
    librevenge::RVNGFileStream stream(QFile::encodeName(path).constData());
    return readPageTable(stream);
}

// Pages of every shape and print orientation, foreground and background, binary and zipped,
// and files whose page sheets state none (Visio 5 keeps no print properties in its page
// sheets); the paper of the page or, where it states none, of the document's style 0.
TEST(PageTable, SharedDrawingsGiveEachPagesOrientationAndPaper) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    // Each page's orientation ("": not checked) and the first page's paper (-1: not checked).
    for (const auto& [file, orientations, paperKind] :
         {std::tuple("vsd/dwg.vsd", "2", 9),  // 11.69 x 8.27 in, A4 landscape
          {"vsdx/dwg.vsdx", "2", -1},
          {"vsd/fdo86729-ms1252.vsd", "2", 1},             // 11 x 8.5 in, letter landscape
          {"vsd/Visio11PlanWithDimensions.vsd", "1", -1},  // landscape-shaped, printed portrait
          {"vsd/tdf76829-datetime-format.vsd", "2 2", -1},
          {"vsd/Visio11FormatLine.vsd", "0", -1},
          {"vsd/Visio5PlanWithDimensions.vsd", "0", -1},
          {"vsdx/tdf136564-WhiteTextBackground.vsdx", "", 13},
          {"vsdx/testfile1.vsdx", "", 9}}) {  // from style 0
        const PageTable table = tableOf(QString::fromLatin1(file));
        QStringList read;
        for (const PageTableEntry& entry : table) read << orientationFormula(entry.orientation);
        EXPECT_TRUE(!*orientations || read.join(' ') == QLatin1String(orientations))
            << file << ": " << read.join(' ').toStdString();
        EXPECT_TRUE(paperKind < 0 || table.at(0).paperKind == paperKind) << file;
    }
    const PageTable twoPages = tableOf(QStringLiteral("vsd/tdf76829-datetime-format.vsd"));
    EXPECT_TRUE(!twoPages[0].background && twoPages[1].background);
    EXPECT_NEAR(*tableOf(QStringLiteral("vsdx/dwg.vsdx"))[0].widthInches, 11.69, 0.01);
}

// Page sheet cells of elements other than a Page neither crash the reader nor reach a page.
TEST(PageTable, XmlStrayCellsAndShapesArePassedOverAndPaperComesFromThePageOrTheStyle) {
    const auto tableOfFixture = [](const char* name) {
        return readVdxPageTable(
            test::fileBytes(test::sourceDir() + "/tests/fixtures/page_tables/" + name));
    };
    // Page sheets of PageWidth 2 and 7 in stray elements around the one Page's (PageWidth 5).
    const PageTable table = tableOfFixture("stray_sheets.vdx");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].widthInches, 5.0);

    // Shapes, nested in groups, empty, or named alike ("<Shapes >", "<ShapesX/>", a text
    // "<Shapes>"), are passed over without losing the pages around them (both PageWidth 4, the
    // second a background page); a Shapes element that never ends means a damaged file.
    const PageTable grouped = tableOfFixture("grouped_shapes.vdx");
    ASSERT_EQ(grouped.size(), 2u);
    EXPECT_EQ(grouped[0].widthInches, 4.0);
    EXPECT_TRUE(grouped[1].background);
    EXPECT_EQ(grouped[1].widthInches, 4.0);
    EXPECT_THROW(readVdxPageTable("<VisioDocument><Pages><Page ID='1'><Shapes><Shape></Pages>"),
                 PageTableDamaged);

    // Page 0 states PaperKind 8; page 1 states none and takes style 0's (1), not style 1's (5);
    // page 2 states a number beyond any paper code, which counts as none.
    const PageTable papers = tableOfFixture("style_paper.vdx");
    ASSERT_EQ(papers.size(), 3u);
    EXPECT_EQ(papers[0].paperKind, 8);
    EXPECT_EQ(papers[1].paperKind, 1);
    EXPECT_EQ(papers[2].paperKind, 1);
}

// Groups nested 300,000 deep are cut out in one pass (a search per level from the same start
// took minutes, beyond the test's time limit); the page keeps its name.
TEST(PageTable, DeeplyNestedGroupsAreReadInOnePass) {
    const int depth = 300000;
    const QByteArray xml = "<VisioDocument><Pages><Page ID='1' NameU='Plan'>" +
                           QByteArray("<Shapes><Shape>").repeated(depth) +
                           QByteArray("</Shape></Shapes>").repeated(depth) +
                           "<PageSheet><PageProps><PageWidth>4</PageWidth></PageProps></PageSheet>"
                           "</Page></Pages></VisioDocument>";
    const PageTable table = readVdxPageTable(xml);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].widthInches, 4.0);
    EXPECT_EQ(table[0].name, QStringLiteral("Plan"));
}

// Sizes come from the rendered pages where the table gives none, and a table and rendered
// pages of different counts still match (the usual case is the engine's cell test).
TEST(MatchPages, TableAndRenderedPagesOfAnyCount) {
    EXPECT_EQ(matchPages({}, {{1, 2}, {3, 4}}).at(1).heightInches, 4.0);
    const auto unrendered = matchPages({{0, true, 8.5, {}}}, {});
    ASSERT_EQ(unrendered.size(), 1u);
    EXPECT_EQ(unrendered[0].renderedIndex, -1);
    EXPECT_EQ(unrendered[0].widthInches, 8.5);
    EXPECT_EQ(matchPages(PageTable(2), {{1, 1}}).size(), 1u);
}

QByteArray chunk(quint32 type, quint32 list, QByteArray data, int trailer) {
    QByteArray header(19, '\0');
    qToLittleEndian<quint32>(type, header.data());
    qToLittleEndian<quint32>(list, header.data() + 8);
    qToLittleEndian<quint32>(quint32(data.size()), header.data() + 12);
    return header + data + QByteArray(trailer, '\0');
}

QByteArray printProps(char orientation) {
    QByteArray data(72, '\x01');
    data[57] = orientation;
    qToLittleEndian<quint16>(8, data.data() + 58);  // PaperKind A3
    return chunk(0xc8, 0, data, 0);
}

// Visio 6 chunks: a list chunk's 8-byte trailer is stepped over; the page's first shape ends
// its page sheet; odd values and cut-off chunks give none.
TEST(VsdOrientation, Visio6PageSheetChunks) {
    const QByteArray pageSheet =
        chunk(0x46, 0, QByteArray(32, '\x01'), 0) + chunk(0x68, 0, QByteArray(24, '\xff'), 8);
    EXPECT_EQ(vsdPrintProps(pageSheet + printProps(2), 6).orientation, PrintOrientation::Landscape);
    EXPECT_EQ(vsdPrintProps(pageSheet + printProps(2), 6).paperKind, 8);
    EXPECT_EQ(vsdPrintProps(pageSheet + QByteArray(5, '\0') + printProps(1), 6).orientation,
              PrintOrientation::Portrait);
    const QByteArray shape = chunk(0x48, 0, QByteArray(32, '\x01'), 0);
    EXPECT_EQ(vsdPrintProps(pageSheet + shape + printProps(2), 6).orientation,
              PrintOrientation::None);
    EXPECT_EQ(vsdPrintProps(pageSheet + printProps(7), 6).orientation, PrintOrientation::None);
    const QByteArray whole = pageSheet + printProps(2);
    for (qsizetype length = 0; length < whole.size(); ++length)
        EXPECT_EQ(vsdPrintProps(whole.left(length), 6).orientation, PrintOrientation::None)
            << length;
}

}  // namespace
}  // namespace pbp::visio
