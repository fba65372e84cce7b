#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "printing/engine/engine_factory.h"
#include "printing/printers/cups_printer_system.h"
#include "printing/printers/printer_choices.h"
#include "printing/run/kept_printer_choices.h"
#include "printing/run/print_services.h"
#include "support/program_state.h"
#include "tests/common/fake_platform.h"
#include "tests/engine/engine_fixture.h"
#include "tests/print_run/program_run.h"

namespace pbp::test {

namespace {

const QString kRemovedPrinter = QStringLiteral("PrintRun_Window");  // the test's own

// Once the first drawing's job has arrived, removes the printer while that drawing is closed.
struct PrinterRemover : StatusWindow {
    void Display() override {}
    void Value(const QString& text, qint32) override {
        if (!text.startsWith(QLatin1String("Closing file (1 "))) return;
        cups::waitForJob(kRemovedPrinter, 2);
        cups::removePrinter(kRemovedPrinter);
    }
};

// The real batch window with a PrinterRemover for its status window.
struct PrinterRemovingWindow : frmPlenPrintBatch {
    std::unique_ptr<StatusWindow> openStatusWindow() override {
        return std::make_unique<PrinterRemover>();
    }
};
}  // namespace

// The real window, engine and CUPS printers on the private scheduler, with a capture printer
// of the test's own that is removed during the run.
TEST(PrintWindow, PrintButtonSendsSummaryAndFirstPagesWithTypedCopiesUntilThePrinterGoes) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    const QString& printer = kRemovedPrinter;
    QTemporaryDir work;
    ScopedFakePlatform fake;
    cups::useServer();
    qputenv("PLENBATCHPRINT_PDF_DIR", work.path().toUtf8());
    cups::removePrinter(printer);
    QDir(cups::captureDir(printer)).removeRecursively();
    ASSERT_EQ(cups::addPrinter(printer), QString());
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory engines(printers, [] { return testWorkerSettings(); });
    ScopedPrintServices services({&printers, &engines});

    PrinterRemovingWindow window;
    FileCollection files =
        std::vector<FileItem>(3, fixtureDrawing(QStringLiteral("mixed_pages.vdx")));
    window.Display(files);
    auto* box = window.findChild<QComboBox*>(QStringLiteral("cboSelectedPrinter"));
    box->setCurrentIndex(box->findText(printer));
    auto* copies = window.findChild<QLineEdit*>(QStringLiteral("txtCopies"));
    copies->clear();
    QTest::keyClicks(copies, QStringLiteral("2"));
    window.findChild<QRadioButton*>(QStringLiteral("optPrintPageOption_0"))->click();
    window.findChild<QCheckBox*>(QStringLiteral("chkPrintSummaryPage"))->click();
    g_sSelectedPrinter = printer;
    auto* print = window.findChild<QPushButton*>(QStringLiteral("cmdPrint"));
    QTest::mouseClick(print, Qt::LeftButton);

    EXPECT_EQ(window.cellText(1, 1), QStringLiteral("Sent to Printer"));
    for (int row : {2, 3})
        EXPECT_TRUE(window.cellText(row, 1).startsWith("Error Printing File. Error: "))
            << window.cellText(row, 1).toStdString();
    EXPECT_TRUE(print->isEnabled());
    const auto summary = cups::waitForJob(printer, 1);
    const auto drawing = cups::waitForJob(printer, 2);
    ASSERT_TRUE(summary && drawing);
    EXPECT_EQ(std::pair(summary->copies, pdfPageCount(summary->documentPath)), std::pair(1, 1));
    EXPECT_EQ(std::pair(drawing->copies, pdfPageCount(drawing->documentPath)), std::pair(2, 1));
}

// Properties: the real button opens the selected queue's options; a duplex choice made there
// is kept for the printer and reaches the job.
TEST(PrintWindow, DuplexChosenInPropertiesReachesTheJob) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    const QString printer = cups::kDuplexPrinter;
    QTemporaryDir work;
    ScopedFakePlatform fake;
    cups::useServer();
    printers::CupsPrinterSystem cups;
    printers::ChosenOptionsPrinters printers(cups, KeptPrinterChoices);
    LibVisioEngineFactory engines(printers, [] { return testWorkerSettings(); });
    ScopedPrintServices services({&printers, &engines});
    const QString drawing = work.filePath(QStringLiteral("window duplex %1.vdx").arg(getpid()));
    ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("mixed_pages.vdx")), drawing));

    frmPlenPrintBatch window;
    FileCollection files = std::vector<FileItem>{FileItem(drawing)};
    window.Display(files);
    auto* box = window.findChild<QComboBox*>(QStringLiteral("cboSelectedPrinter"));
    box->setCurrentIndex(box->findText(printer));
    g_sSelectedPrinter = printer;
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        auto* sides = dialog->findChild<QComboBox*>(QStringLiteral("sides"));
        ASSERT_TRUE(sides);
        for (int i = 0; i < sides->count(); ++i) offered << sides->itemText(i);
        sides->setCurrentIndex(sides->findData(QStringLiteral("two-sided-long-edge")));
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdPrinterProperties")),
                      Qt::LeftButton);
    EXPECT_EQ(offered, QStringList({"Printer default (one-sided)", "one-sided",
                                    "two-sided-long-edge", "two-sided-short-edge"}));
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdPrint")), Qt::LeftButton);

    EXPECT_EQ(window.cellText(1, 1), QStringLiteral("Sent to Printer"));
    const auto job = cups::waitForJobTitled(printer, QFileInfo(drawing).fileName());
    ASSERT_TRUE(job.has_value());
    EXPECT_TRUE(job->hasOption(QStringLiteral("sides=two-sided-long-edge")))
        << job->options.toStdString();
    EXPECT_EQ(KeptPrinterChoices(printer).value(QStringLiteral("sides")),
              QStringLiteral("two-sided-long-edge"));
}

// Job entries marked Delete="true": only the drawing that was sent goes when the window
// closes; one that failed and one whose row was removed stay. Tooltips say why and where.
TEST(PrintWindow, MarkedDrawingsAreDeletedAtCloseOnlyOnceSentAndTooltipsTellWhereAndWhy) {
    QTemporaryDir work;
    ScopedFakePlatform fake;
    qputenv("PLENBATCHPRINT_PDF_DIR", work.filePath("pdf").toUtf8());
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory engines(printers, [] { return testWorkerSettings(); });
    ScopedPrintServices services({&printers, &engines});
    const QString sent = work.filePath("sent.vdx"), removed = work.filePath("removed.vdx"),
                  broken = writeFile(work.filePath("broken.vdx"), "not a drawing");
    for (const QString& copy : {sent, removed})
        ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("mixed_pages.vdx")), copy));
    g_sSelectedPrinter = printers::kPdfPrinterName;

    auto window = std::make_unique<frmPlenPrintBatch>();
    FileCollection files = std::vector<FileItem>{cPrintFile{sent, true}, cPrintFile{removed, true},
                                                 cPrintFile{broken, true}};
    window->Display(files);
    auto* grid = window->findChild<FileListGrid*>(QStringLiteral("fgListOfFiles"));
    grid->markSelected(2);
    window->cmdRemove_Click();
    window->cmdPrint_Click();
    const QStringList pdfs = QDir(work.filePath("pdf")).entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_EQ(grid->item(0, 1)->toolTip(),
              "Sent to Printer\nPDF: " + work.filePath("pdf/") + pdfs[0]);
    EXPECT_EQ(grid->item(1, 1)->text(), "There was a problem attempting to open\r\n'" + broken +
                                            "'\r\nThis file maybe in use by Visio.");
    EXPECT_TRUE(grid->item(1, 1)->toolTip().endsWith("Visio.\n'" + broken +
                                                     "' is not a Visio drawing, or it is damaged."))
        << grid->item(1, 1)->toolTip().toStdString();
    window->close();
    EXPECT_FALSE(QFile::exists(sent));
    EXPECT_TRUE(QFile::exists(removed));
    EXPECT_TRUE(QFile::exists(broken));
}

}  // namespace pbp::test
