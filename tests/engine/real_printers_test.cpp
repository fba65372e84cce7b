#include <unistd.h>

#include "printing/printers/cups_printer_system.h"
#include "tests/cups_fixture/cups_test_env.h"
#include "tests/engine/engine_fixture.h"

namespace pbp::test {
namespace {

// Prints through the machine's real printer system: the private CUPS scheduler's capture
// printers and the built-in PDF printer writing into a temporary folder.
using RealPrinters = EngineOn<printers::CupsPrinterSystem>;

// A drawing set up for A3 (16 x 11 in, landscape) prints on A3 where the queue offers it, the
// job naming the paper; on a queue without A3 it prints scaled down on the queue's default
// paper; the built-in PDF printer has every paper, and takes a binary drawing's document paper.
TEST_F(RealPrinters, ADrawingsOwnPaperIsUsedWhereThePrinterOffersIt) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    cups::useServer();
    qputenv("PLENBATCHPRINT_PDF_DIR", QFile::encodeName(dir.path()));
    const QString title = QStringLiteral("a3_paper %1.vdx").arg(::getpid());
    ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("a3_paper.vdx")), dir.filePath(title)));
    auto drawing = open(dir.filePath(title));
    print(*drawing, 1, 1, cups::kA3Printer);
    print(*drawing, 1, 1, cups::kPdfQueuePrinter);
    print(*drawing, 1, 1, printers::kPdfPrinterName);

    const auto onA3 = cups::waitForJobTitled(cups::kA3Printer, title);
    ASSERT_TRUE(onA3);
    EXPECT_TRUE(onA3->hasOption(QStringLiteral("media=iso_a3_297x420mm")))
        << onA3->options.toStdString();
    // The queues' PDF filter turns landscape sheets onto the paper's portrait form.
    EXPECT_EQ(pdfSheetSizes(onA3->documentPath), std::vector<QSizeF>{QSizeF(842, 1191)});
    const auto onLetter = cups::waitForJobTitled(cups::kPdfQueuePrinter, title);
    ASSERT_TRUE(onLetter);
    EXPECT_FALSE(onLetter->options.contains(QStringLiteral("iso_a3")))
        << onLetter->options.toStdString();
    EXPECT_EQ(pdfSheetSizes(onLetter->documentPath), std::vector<QSizeF>{QSizeF(612, 792)});
    EXPECT_EQ(pdfSheetSizes(dir.filePath(title + QStringLiteral(".pdf"))),
              std::vector<QSizeF>{QSizeF(1191, 842)});

    // Page 2 is set up for Letter, which the A3 queue lacks: a queue prints a job on one paper,
    // so both sheets take its default A4 and the job names none. The PDF printer has both.
    const QString mixed = QStringLiteral("a3 and letter %1.vdx").arg(::getpid());
    ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("a3_paper.vdx")), dir.filePath(mixed)));
    auto twoPages = open(dir.filePath(mixed));
    print(*twoPages, 1, 2, cups::kA3Printer);
    print(*twoPages, 1, 2, printers::kPdfPrinterName);
    const auto both = cups::waitForJobTitled(cups::kA3Printer, mixed);
    ASSERT_TRUE(both);
    EXPECT_FALSE(both->options.contains(QStringLiteral("iso_a3"))) << both->options.toStdString();
    EXPECT_EQ(pdfSheetSizes(both->documentPath),
              (std::vector<QSizeF>{QSizeF(595, 842), QSizeF(595, 842)}));
    EXPECT_EQ(pdfSheetSizes(dir.filePath(mixed + QStringLiteral(".pdf"))),
              (std::vector<QSizeF>{QSizeF(1191, 842), QSizeF(612, 792)}));

    // A binary drawing whose page sheet states no paper prints on the document's: style sheet 0
    // of document_paper.vsd (tests/fixtures/make_document_paper_vsd.py) states A3, portrait.
    auto binary = open(fixtureDrawing(QStringLiteral("document_paper.vsd")));
    print(*binary, 1, 1, printers::kPdfPrinterName);
    EXPECT_EQ(pdfSheetSizes(dir.filePath(QStringLiteral("document_paper.vsd.pdf"))),
              std::vector<QSizeF>{QSizeF(842, 1191)});
}

}  // namespace
}  // namespace pbp::test
