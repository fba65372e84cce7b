#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "printing/engine/engine_factory.h"
#include "tests/common/test_paths.h"
#include "tests/engine/fake_printer_system.h"
#include "tests/engine/pdf_probe.h"

namespace pbp::visio {
namespace {

QStringList sharedDrawings() {
    QStringList paths;
    for (const char* folder : {"vsd", "vsdx", "vdx"}) {
        const QDir dir(test::sharedTestDataDir() + QLatin1Char('/') + QLatin1String(folder));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            paths.append(dir.filePath(name));
    }
    return paths;
}

class SharedDrawings : public ::testing::Test {
  protected:
    void SetUp() override {
        PLEN_REQUIRE_SHARED_TESTDATA();
        app = factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));
    }

    // Prints pages from..to once to the PDF printer and returns the sheet sizes.
    std::vector<QSizeF> printToPdf(Document& doc, int from, int to, int copies = 1) {
        doc.PrintOut(visPrintFromTo, qint16(from), qint16(to), false, printers::kPdfPrinterName,
                     false, QString(), qint16(copies), false, false);
        return test::pdfSheetSizes(printers.jobs.back().keptPdf);
    }

    QTemporaryDir kept;
    test::FakePrinterSystem printers{kept.path()};
    LibVisioEngineFactory factory{printers};
    std::unique_ptr<Application> app;
};

// Every drawing prints one sheet per foreground page, each in its page's print orientation,
// and one sheet in first-page mode.
TEST_F(SharedDrawings, AllPagesAndFirstPageOfEveryDrawing) {
    for (const QString& path : sharedDrawings()) {
        SCOPED_TRACE(path.toStdString());
        auto doc = app->Documents()->Open(path);
        auto pages = doc->Pages();
        std::vector<bool> landscape;
        for (int i = 1; i <= pages->Count(); ++i) {
            auto page = pages->Item(i);
            if (page->Background() != 0) continue;
            landscape.push_back(
                page->PageSheet()->Cells(QStringLiteral("PrintPageOrientation"))->ResultIU() == 2);
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

TEST_F(SharedDrawings, KnownPageCountsAndText) {
    const QString dir = test::sharedTestDataDir();
    const struct {
        const char* file;
        int sheets;
    } expected[] = {{"/vsd/tdf76829-datetime-format.vsd", 1},
                    {"/vsdx/recursion-cycle.vsdx", 1},
                    {"/vdx/text_tests.vdx", 5},
                    {"/vdx/animation_tests.vdx", 3}};
    for (const auto& drawing : expected) {
        SCOPED_TRACE(drawing.file);
        auto doc = app->Documents()->Open(dir + QLatin1String(drawing.file));
        EXPECT_EQ(printToPdf(*doc, 1, drawing.sheets).size(), size_t(drawing.sheets));
        EXPECT_THROW(printToPdf(*doc, 1, drawing.sheets + 1), VbError);
        doc->Close();
    }
    auto basic = app->Documents()->Open(dir + QStringLiteral("/vdx/basic_tests.vdx"));
    EXPECT_EQ(printToPdf(*basic, 1, 1, 3).size(), 3u);
    EXPECT_EQ(
        test::pdfText(printers.jobs.back().keptPdf).count(QStringLiteral("Rectangle with text")),
        3);
}

}  // namespace
}  // namespace pbp::visio
