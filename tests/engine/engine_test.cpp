#include <sys/stat.h>

#include <optional>

#include "tests/engine/engine_fixture.h"

namespace pbp::test {
namespace {

using namespace visio;

const QSizeF kA4Portrait(595.276, 841.89);
const QSizeF kA4Landscape(841.89, 595.276);
const QString kPdf = printers::kPdfPrinterName;

bool sameSize(const QSizeF& a, const QSizeF& b) {
    return qAbs(a.width() - b.width()) < 1 && qAbs(a.height() - b.height()) < 1;
}

TEST_F(EngineCase, ForegroundPagesComeFirstWithTheirCells) {
    auto pages = open(fixtureDrawing(QStringLiteral("mixed_pages.vdx")))->Pages();
    ASSERT_EQ(pages->Count(), 4);
    const struct {
        const char* orientation;
        double width, height;
    } expected[] = {{"1", 8.5, 11}, {"0", 11, 8.5}, {"2", 34, 22}, {"0", 8.5, 11}};
    for (int i = 1; i <= 4; ++i) {
        auto cell = [&](const char* name) { return pages->Item(i)->PageSheet()->Cells(name); };
        EXPECT_EQ(pages->Item(i)->Background() != 0, i == 4) << i;
        EXPECT_EQ(cell("PrintPageOrientation")->Formula(), expected[i - 1].orientation);
        EXPECT_EQ(cell("PageWidth")->ResultIU(), expected[i - 1].width);
        EXPECT_EQ(cell("PageHeight")->ResultIU(), expected[i - 1].height);
    }
    EXPECT_FALSE(errorOf([&] { pages->Item(5); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { pages->Item(0); }).isEmpty());
    EXPECT_TRUE(errorOf([&] {
                    pages->Item(1)->PageSheet()->Cells(QStringLiteral("Colour"));
                }).contains(QStringLiteral("Colour")));
}

// The PDF printer gets every copy as uncollated sheets on its A4 paper; a printer that makes
// copies itself gets the document once on its own Letter paper.
TEST_F(EngineCase, CopiesPaperAndOrientationPerPrinter) {
    auto doc = open(fixtureDrawing(QStringLiteral("mixed_pages.vdx")));
    print(*doc, 1, 3, kPdf, 2);
    print(*doc, 2, 3, QStringLiteral("Capture"), 3);
    ASSERT_EQ(printers.jobs.size(), 2u);
    const auto& pdf = printers.jobs[0];
    EXPECT_EQ(pdf.job.copies, 1);
    EXPECT_EQ(pdf.job.title, QStringLiteral("mixed_pages.vdx"));
    const auto sheets = pdfSheetSizes(pdf.keptPdf);
    ASSERT_EQ(sheets.size(), 6u);
    // Page 2 is landscape-shaped but asks for orientation 0: it stays portrait here.
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(sameSize(sheets[size_t(i)], i < 4 ? kA4Portrait : kA4Landscape)) << i;
    const QString text = pdfText(pdf.keptPdf);
    EXPECT_EQ(text.count(QStringLiteral("Portrait page")), 2);
    EXPECT_EQ(text.count(QStringLiteral("Large poster page")), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("Background art")));
    EXPECT_FALSE(text.contains(QStringLiteral("Hidden layer text")));

    const auto& capture = printers.jobs[1];
    EXPECT_EQ(capture.job.copies, 3);
    EXPECT_EQ(capture.job.printerName, QStringLiteral("Capture"));
    const auto letter = pdfSheetSizes(capture.keptPdf);
    ASSERT_EQ(letter.size(), 2u);
    EXPECT_TRUE(sameSize(letter[0], QSizeF(612, 792)));
    EXPECT_TRUE(sameSize(letter[1], QSizeF(792, 612)));
}

TEST_F(EngineCase, OrientationChangesLiveInTheOpenedCopyOnly) {
    const QString path = fixtureDrawing(QStringLiteral("mixed_pages.vdx"));
    const QString orientation = QStringLiteral("PrintPageOrientation");
    auto doc = open(path);
    auto cell = doc->Pages()->Item(2)->PageSheet()->Cells(orientation);
    cell->SetFormula(QStringLiteral("2"));
    EXPECT_EQ(cell->ResultIU(), 2.0);
    EXPECT_FALSE(errorOf([&] { cell->SetFormula(QStringLiteral("sideways")); }).isEmpty());
    print(*doc, 2, 2, kPdf);
    EXPECT_TRUE(sameSize(pdfSheetSizes(printers.jobs[0].keptPdf).at(0), kA4Landscape));
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
    EXPECT_TRUE(errorOf([&] {
                    print(*doc, 1, 1, QStringLiteral("Nowhere"));
                }).contains(QStringLiteral("Nowhere")));
    auto background = open(fixtureDrawing(QStringLiteral("only_background.vdx")));
    EXPECT_NE(background->Pages()->Item(1)->Background(), 0);
    EXPECT_TRUE(errorOf([&] {
                    print(*background, 1, 1, kPdf);
                }).contains(QStringLiteral("only_background.vdx")));
    EXPECT_TRUE(printers.jobs.empty());

    printers.refusal = QStringLiteral("client-error-not-possible");
    EXPECT_EQ(errorOf([&] { print(*doc, 1, 1, QStringLiteral("Capture")); }), printers.refusal);
    printers.refusal.clear();
    print(*doc, 1, 1, kPdf);
    EXPECT_EQ(printers.jobs.size(), 1u);
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
    expectOpenFails(QStringLiteral("text.vdx"), "<html><body>not a drawing</body></html>");
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

// Every shared drawing prints one sheet per foreground page, each in its page's print
// orientation, and one sheet in first-page mode.
TEST_F(EngineCase, AllPagesAndFirstPageOfEverySharedDrawing) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    const auto printToPdf = [&](visio::Document& doc, int from, int to) {
        print(doc, from, to, kPdf);
        return pdfSheetSizes(printers.jobs.back().keptPdf);
    };
    for (const char* folder : {"vsd", "vsdx", "vdx"}) {
        const QDir drawings(sharedTestDataDir() + QLatin1Char('/') + QLatin1String(folder));
        for (const QString& name : drawings.entryList(QDir::Files, QDir::Name)) {
            SCOPED_TRACE(name.toStdString());
            auto doc = open(drawings.filePath(name));
            auto pages = doc->Pages();
            std::vector<bool> landscape;
            for (int i = 1; i <= pages->Count(); ++i) {
                if (pages->Item(i)->Background() != 0) continue;
                auto cell = pages->Item(i)->PageSheet()->Cells("PrintPageOrientation");
                landscape.push_back(cell->ResultIU() == 2);
            }
            ASSERT_FALSE(landscape.empty());
            const auto all = printToPdf(*doc, 1, int(landscape.size()));
            ASSERT_EQ(all.size(), landscape.size());
            for (size_t i = 0; i < all.size(); ++i)
                EXPECT_EQ(all[i].width() > all[i].height(), landscape[i]) << "sheet " << i;
            EXPECT_EQ(printToPdf(*doc, 1, 1).size(), 1u);
            doc->Close();
        }
    }
}

}  // namespace
}  // namespace pbp::test
