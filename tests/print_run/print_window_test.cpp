#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "batch_window/frm_plen_print_batch.h"
#include "printing/engine/engine_factory.h"
#include "printing/printers/cups_printer_system.h"
#include "printing/run/status_window.h"
#include "support/program_state.h"
#include "tests/common/fake_platform.h"
#include "tests/print_run/program_run.h"

namespace pbp::test {

namespace {
// Once the first drawing's job has arrived, removes the printer while that drawing is closed.
class PrinterRemover : public StatusWindow {
  public:
    explicit PrinterRemover(QString printer) : printer_(std::move(printer)) {}
    void Display() override {}
    void Value(const QString& text, qint32) override {
        if (!text.startsWith(QLatin1String("Closing file (1 "))) return;
        cups::waitForJob(printer_, 2);
        cups::removePrinter(printer_);
    }

  private:
    QString printer_;
};
}  // namespace

// The real window, engine and CUPS printers on the private scheduler, with a capture printer
// of the test's own that is removed during the run.
TEST(PrintWindow, PrintButtonSendsSummaryAndFirstPagesWithTypedCopiesUntilThePrinterGoes) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    const QString printer = QStringLiteral("PrintRun_Window");
    QTemporaryDir work;
    ScopedFakePlatform fake;
    cups::useFixtureServer();
    qputenv("PLENBATCHPRINT_PDF_DIR", work.path().toUtf8());
    cups::removePrinter(printer);
    QDir(cups::captureDir(printer)).removeRecursively();
    ASSERT_EQ(cups::addPrinter(printer), QString());
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory engines(printers, [] {
        visio::WorkerSettings workers;
        workers.program = QStringLiteral(PLEN_WORKER_EXECUTABLE);
        return workers;
    });
    fake.get().printers = &printers;
    fake.get().engines = &engines;
    SetStatusWindowFactory([&](QWidget*) { return std::make_unique<PrinterRemover>(printer); });

    frmPlenPrintBatch window;
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
    SetStatusWindowFactory({});

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

}  // namespace pbp::test
