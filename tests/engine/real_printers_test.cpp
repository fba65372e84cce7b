#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "printing/engine/engine_factory.h"
#include "printing/printers/cups_printer_system.h"
#include "tests/common/test_paths.h"
#include "tests/cups_fixture/cups_test_env.h"
#include "tests/engine/pdf_probe.h"

namespace pbp::visio {
namespace {

QString fixture(const QString& name) {
    return test::sourceDir() + QStringLiteral("/tests/fixtures/drawings/") + name;
}

// Prints through the machine's real printer system: the private CUPS scheduler's capture
// printers and the built-in PDF printer writing into a temporary folder.
class RealPrinters : public ::testing::Test {
  protected:
    void SetUp() override {
        PLEN_REQUIRE_CUPS_FIXTURE();
        test::cups::useFixtureServer();
        previousPdfDir_ = qgetenv("PLENBATCHPRINT_PDF_DIR");
        qputenv("PLENBATCHPRINT_PDF_DIR", QFile::encodeName(pdfDir.path()));
        app = factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));
        doc = app->Documents()->Open(fixture(QStringLiteral("mixed_pages.vdx")));
    }
    void TearDown() override { qputenv("PLENBATCHPRINT_PDF_DIR", previousPdfDir_); }

    void print(const QString& printer, int from, int to, int copies) {
        doc->PrintOut(visPrintFromTo, qint16(from), qint16(to), false, printer, false, QString(),
                      qint16(copies), false, false);
    }

    QTemporaryDir pdfDir;
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory factory{printers};
    std::unique_ptr<Application> app;
    std::shared_ptr<Document> doc;

  private:
    QByteArray previousPdfDir_;
};

TEST_F(RealPrinters, ACupsQueueGetsTheDocumentOnceWithTheCopies) {
    const int before = int(test::cups::capturedJobs(test::cups::kRawPrinter).size());
    print(test::cups::kRawPrinter, 1, 3, 2);
    const auto job = test::cups::waitForJob(test::cups::kRawPrinter, before + 1);
    ASSERT_TRUE(job);
    EXPECT_EQ(job->copies, 2);
    EXPECT_EQ(job->title, QStringLiteral("mixed_pages.vdx"));
    EXPECT_EQ(test::pdfSheetSizes(job->documentPath).size(), 3u);
    EXPECT_TRUE(test::pdfText(job->documentPath).contains(QStringLiteral("Landscape page")));
}

TEST_F(RealPrinters, ARefusedJobIsAnErrorWithTheSchedulersWords) {
    try {
        print(test::cups::kRejectingPrinter, 1, 1, 1);
        FAIL() << "the job was accepted";
    } catch (const VbError& error) {
        EXPECT_FALSE(error.description().isEmpty());
    }
}

TEST_F(RealPrinters, TheBuiltInPdfPrinterRepeatsPagesForCopies) {
    print(printers::kPdfPrinterName, 2, 3, 3);
    const QStringList saved = QDir(pdfDir.path()).entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0], QStringLiteral("mixed_pages.vdx.pdf"));
    const auto sheets = test::pdfSheetSizes(pdfDir.filePath(saved[0]));
    ASSERT_EQ(sheets.size(), 6u);
    EXPECT_LT(sheets[2].width(), sheets[2].height());  // page 2 three times, then page 3
    EXPECT_GT(sheets[3].width(), sheets[3].height());
}

}  // namespace
}  // namespace pbp::visio
