#include "printing/printers/cups_printer_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "support/vb_error.h"
#include "tests/common/pdf_tools.h"
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

    // A title no other test process uses, so the capture folder can be searched by it.
    static QString uniqueTitle(const QString& stem) {
        return stem + QStringLiteral(" %1.vsd").arg(::getpid());
    }

    // The error a submission raised; number -1 when it was taken as sent.
    VbError errorOf(const PrintJob& job) {
        try {
            system.submit(job);
        } catch (const VbError& error) {
            return error;
        }
        return VbError(-1, QString());
    }

    CupsPrinterSystem system;
    QTemporaryDir dir;
    QByteArray pdfBytes;
};

// The queues themselves are listed by the window's and the command line's tests.
TEST_F(CupsPrinterSystemTest, DefaultsPapersAndMediaOfTheQueues) {
    EXPECT_EQ(system.printerNames().last(), kPdfPrinterName);
    EXPECT_EQ(system.defaultPrinter(), cups::kPdfQueuePrinter);
    qputenv("LPDEST", cups::kRawPrinter.toUtf8());
    EXPECT_EQ(system.defaultPrinter(), cups::kRawPrinter);
    qunsetenv("LPDEST");
    EXPECT_EQ(system.defaultPaper(cups::kPdfQueuePrinter).id(), QPageSize::Letter);
    EXPECT_EQ(system.defaultPaper(QStringLiteral("No_Such_Printer")).id(), QPageSize::A4);
    EXPECT_EQ(system.defaultPaper(cups::kRawLetterPrinter).id(), QPageSize::Letter);
    EXPECT_EQ(system.defaultPaper(cups::kA3Printer).id(), QPageSize::A4);

    const QPageSize a3(QPageSize::A3), letter(QPageSize::Letter);
    EXPECT_EQ(system.offeredMedia(cups::kA3Printer, a3), QStringLiteral("iso_a3_297x420mm"));
    EXPECT_EQ(system.offeredMedia(cups::kA3Printer, letter), std::nullopt);
    EXPECT_EQ(system.offeredMedia(cups::kPdfQueuePrinter, a3), std::nullopt);
    EXPECT_EQ(system.offeredMedia(cups::kPdfQueuePrinter, letter),
              QStringLiteral("na_letter_8.5x11in"));
    EXPECT_EQ(system.offeredMedia(kPdfPrinterName, a3), QString());
    EXPECT_EQ(system.offeredMedia(QStringLiteral("No_Such_Printer"), a3), std::nullopt);
    EXPECT_TRUE(system.makesCopies(cups::kRawPrinter));
    EXPECT_FALSE(system.makesCopies(kPdfPrinterName));
}

TEST_F(CupsPrinterSystemTest, SchedulerDownLeavesOnlyThePdfPrinterWithoutWaiting) {
    cups::useServer(dir.filePath(QStringLiteral("no-scheduler.sock")));
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(system.printerNames(), QStringList{kPdfPrinterName});
    EXPECT_EQ(system.defaultPrinter(), QString());
    EXPECT_LT(timer.elapsed(), 10000) << "a missing scheduler must fail fast, not hang";
}

TEST_F(CupsPrinterSystemTest, QueuesReceiveTheDocumentWithCopiesUncollatedAndTitle) {
    const QString title = uniqueTitle(QStringLiteral("Grundriß Ω 図面"));
    system.submit({cups::kRawPrinter, pdfBytes, 3, title});
    system.submit({cups::kPdfQueuePrinter, pdfBytes, 1, title});

    const auto job = cups::waitForJobTitled(cups::kRawPrinter, title);
    ASSERT_TRUE(job) << "the job never reached the capture backend";
    EXPECT_EQ(job->copies, 3);
    EXPECT_TRUE(job->hasOption(
        QStringLiteral("multiple-document-handling=separate-documents-uncollated-copies")))
        << job->options.toStdString();
    EXPECT_EQ(test::fileBytes(job->documentPath), pdfBytes);
    const auto filtered = cups::waitForJobTitled(cups::kPdfQueuePrinter, title);
    ASSERT_TRUE(filtered) << "the filtered job never reached the capture backend";
    EXPECT_TRUE(test::fileBytes(filtered->documentPath).contains("%PDF"));
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
    const VbError late = errorOf({name, pdfBytes, 1, QStringLiteral("late.vsd")});
    EXPECT_TRUE(late.number() != -1 && late.description().contains(name)) << late.what();
}

}  // namespace
}  // namespace pbp::printers
