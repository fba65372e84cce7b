#include "printing/printers/cups_printer_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "tests/common/pdf_tools.h"
#include "tests/common/raised.h"
#include "tests/common/test_paths.h"
#include "tests/cups_fixture/cups_test_env.h"

namespace pbp::printers {
namespace {

namespace cups = test::cups;

class CupsPrinterSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!cups::fixtureRunning()) GTEST_SKIP() << "private CUPS scheduler not running";
        cups::useServer();
        ASSERT_TRUE(dir.isValid());
        pdfBytes = test::samplePdf(QStringLiteral("sample drawing"));
    }
    void TearDown() override { cups::useServer(); }

    CupsPrinterSystem system;
    QTemporaryDir dir;
    QByteArray pdfBytes;
};

// The queues, the default (also from LPDEST), the queues' papers and the media they offer are
// proven by the window's, the command line's and the engine's printing tests.
TEST_F(CupsPrinterSystemTest, DefaultsPapersAndMediaOfTheQueues) {
    EXPECT_EQ(system.defaultPaper(QStringLiteral("No_Such_Printer")).id(), QPageSize::A4);
    EXPECT_EQ(system.offeredMedia(QStringLiteral("No_Such_Printer"), QPageSize(QPageSize::A3)),
              std::nullopt);
    EXPECT_TRUE(system.makesCopies(cups::kRawPrinter));
    EXPECT_FALSE(system.makesCopies(kPdfPrinterName));
    // What is told before a run: nothing for a ready queue, the refusal for a rejecting one.
    EXPECT_EQ(system.printerProblem(cups::kRawPrinter), QString());
    EXPECT_EQ(system.printerProblem(cups::kRejectingPrinter).toStdString(),
              "The printer \"Capture_Rejects\" refuses new jobs.");
}

// What a run is told then is proven end to end by the silent run without a scheduler.
TEST_F(CupsPrinterSystemTest, SchedulerDownLeavesOnlyThePdfPrinterWithoutWaiting) {
    cups::useServer(dir.filePath(QStringLiteral("no-scheduler.sock")));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(system.printerNames(), QStringList{kPdfPrinterName});
    EXPECT_EQ(system.defaultPrinter(), QString());
    EXPECT_LT(timer.elapsed(), 10000) << "a missing scheduler must fail fast, not hang";
}

TEST_F(CupsPrinterSystemTest, ARawQueueReceivesTheDocumentWithCopiesUncollatedAndTitle) {
    // A title no other test process uses, so the capture folder can be searched by it.
    const QString title = QStringLiteral("Grundriß Ω 図面 %1.vsd").arg(::getpid());
    system.submit({cups::kRawPrinter, pdfBytes, 3, title});

    const auto job = cups::waitForJobTitled(cups::kRawPrinter, title);
    ASSERT_TRUE(job) << "the job never reached the capture backend";
    EXPECT_EQ(job->copies, 3);
    EXPECT_TRUE(job->hasOption(
        QStringLiteral("multiple-document-handling=separate-documents-uncollated-copies")))
        << job->options.toStdString();
    EXPECT_EQ(test::fileBytes(job->documentPath), pdfBytes);
}

TEST_F(CupsPrinterSystemTest, PrinterAddedAndRemovedAtRunTimeKeepsItsUtf8Name) {
    const QString name = QStringLiteral("Büro_Plotter_%1").arg(::getpid());
    const QString added = cups::addPrinter(name);
    ASSERT_TRUE(added.isEmpty()) << added.toStdString();
    EXPECT_TRUE(system.printerNames().contains(name));
    system.submit({name, pdfBytes, 1, QStringLiteral("büro.vsd")});
    EXPECT_TRUE(cups::waitForJob(name, 1)) << "the job never reached the capture backend";
    const QString removed = cups::removePrinter(name);
    ASSERT_TRUE(removed.isEmpty()) << removed.toStdString();

    EXPECT_FALSE(system.printerNames().contains(name));
    const VbError late = test::raised([&] {
        system.submit({name, pdfBytes, 1, QStringLiteral("late.vsd")});
    });
    EXPECT_TRUE(late.number() != -1 && late.description().contains(name)) << late.what();
}

}  // namespace
}  // namespace pbp::printers
