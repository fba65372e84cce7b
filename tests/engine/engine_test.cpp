#include <sys/stat.h>

#include <optional>

#include "tests/engine/engine_fixture.h"

namespace pbp::test {
namespace {

using namespace visio;

const QString kPdf = printers::kPdfPrinterName;

// Foreground pages come first with their cells. The PDF printer gets every copy as uncollated
// sheets, each page on its background (that a printer making copies itself gets the document
// once and the count is proven by the silent runs). An orientation set in the opened copy
// prints, and dies with it.
TEST_F(EngineCase, CellsCopiesAndOrientationEditsOfTheOpenedCopy) {
    const QString path = fixtureDrawing(QStringLiteral("mixed_pages.vdx"));
    auto doc = open(path);
    auto pages = doc->Pages();
    ASSERT_EQ(pages->Count(), 4);
    const char* const expected[] = {"1 8.5 11", "0 11 8.5", "2 34 22", "0 8.5 11"};
    for (int i = 1; i <= 4; ++i) {
        auto cell = [&](const char* name) { return pages->Item(i)->PageSheet()->Cells(name); };
        EXPECT_EQ(pages->Item(i)->Background() != 0, i == 4) << i;
        EXPECT_EQ(QStringLiteral("%1 %2 %3")
                      .arg(cell("PrintPageOrientation")->Formula(),
                           QString::number(cell("PageWidth")->ResultIU()),
                           QString::number(cell("PageHeight")->ResultIU())),
                  QLatin1String(expected[i - 1]));
    }
    EXPECT_FALSE(errorOf([&] { pages->Item(5); }).isEmpty());
    EXPECT_TRUE(errorOf([&] {
                    pages->Item(1)->PageSheet()->Cells(QStringLiteral("Colour"));
                }).contains(QStringLiteral("Colour")));

    print(*doc, 1, 3, kPdf, 2);
    ASSERT_EQ(printers.jobs.size(), 1u);
    EXPECT_EQ(printers.jobs[0].job.copies, 1);
    EXPECT_EQ(printers.jobs[0].job.title, QStringLiteral("mixed_pages.vdx"));
    EXPECT_EQ(pdfSheetSizes(printers.jobs[0].keptPdf).size(), 6u);
    EXPECT_EQ(pdfText(printers.jobs[0].keptPdf).count(QStringLiteral("Background art")), 2);

    const QString orientation = QStringLiteral("PrintPageOrientation");
    auto cell = pages->Item(2)->PageSheet()->Cells(orientation);
    cell->SetFormula(QStringLiteral("2"));
    EXPECT_FALSE(errorOf([&] { cell->SetFormula(QStringLiteral("sideways")); }).isEmpty());
    print(*doc, 2, 2, kPdf);
    const QSizeF turned = pdfSheetSizes(printers.jobs[1].keptPdf).at(0);
    EXPECT_GT(turned.width(), turned.height());
    doc->Close();
    EXPECT_FALSE(errorOf([&] { cell->Formula(); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { doc->Pages(); }).isEmpty());
    EXPECT_EQ(open(path)->Pages()->Item(2)->PageSheet()->Cells(orientation)->Formula(),
              QStringLiteral("0"));
}

TEST_F(EngineCase, PrintRequestsTheDrawingCannotMeet) {
    auto doc = open(fixtureDrawing(QStringLiteral("mixed_pages.vdx")));
    EXPECT_TRUE(errorOf([&] { print(*doc, 1, 4, kPdf); }).contains("mixed_pages.vdx"));
    EXPECT_FALSE(errorOf([&] { print(*doc, 3, 2, kPdf); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { print(*doc, 1, 1, kPdf, -1); }).isEmpty());
    EXPECT_TRUE(printers.jobs.empty());
}

class BadInput : public EngineCase {
  protected:
    // Writes `bytes` (when given) to `name` in a temporary folder; opening it fails with a
    // description naming the file, and the engine opens the next drawing.
    void expectOpenFails(const QString& name, std::optional<QByteArray> bytes = std::nullopt) {
        const QString path = name.startsWith('/') ? name : dir.filePath(name);
        SCOPED_TRACE(path.toStdString());
        if (bytes) writeFile(path, *bytes);
        EXPECT_TRUE(errorOf([&] { open(path); }).contains(QDir::toNativeSeparators(path)));
        EXPECT_THROW(app->ActiveDocument(), VbError);
        auto good = open(fixtureDrawing(QStringLiteral("mixed_pages.vdx")));
        EXPECT_EQ(good->Pages()->Count(), 4);
        good->Close();
    }
};

// Missing files, folders, packages that are no drawing, cut-off XML and garbage are driven end
// to end by the silent and hostile batch runs.
TEST_F(BadInput, EmptyPipesAndOtherFormats) {
    EXPECT_FALSE(errorOf([&] { open(QString()); }).isEmpty());
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.vsd"))).constData(), 0600), 0);
    expectOpenFails(QStringLiteral("pipe.vsd"));
    expectOpenFails(QStringLiteral("empty.vsd"), QByteArray());
}

TEST_F(BadInput, TruncatedBinaryDrawingsAndAnUnsupportedVersion) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    const QByteArray binary =
        fileBytes(sharedTestDataDir() + QStringLiteral("/vsd/Visio11FormatLine.vsd"));
    for (int parts : {2, 5, 50})
        expectOpenFails(QStringLiteral("cut%1.vsd").arg(parts), binary.left(binary.size() / parts));

    QByteArray future = fileBytes(sharedTestDataDir() + QStringLiteral("/vsd/dwg.vsd"));
    const qsizetype stream = future.indexOf("Visio (TM) Drawing");
    ASSERT_GE(stream, 0);
    future[stream + 0x1A] = char(42);
    expectOpenFails(QStringLiteral("future.vsd"), future);
}

// A zip drawing whose page part breaks off is damaged, not a blank sheet (libvisio draws it
// empty); one whose 40 pages each name the pages part as their own, which libvisio repeats
// 34,400 times, stops at the page bound and says so.
TEST_F(BadInput, UndecodablePageAndEndlesslyRepeatedPages) {
    expectOpenFails(fixtureDrawing(QStringLiteral("undecodable_page.vsdx")));
    const QString error =
        errorOf([&] { open(fixtureDrawing(QStringLiteral("repeating_pages.vsdx"))); });
    EXPECT_TRUE(error.contains(QStringLiteral("more than 10000 pages"))) << error.toStdString();
}

}  // namespace
}  // namespace pbp::test
