#include <QRegularExpression>

#include "printing/printers/cups_printer_system.h"
#include "printing/printers/pdf_folder_printer.h"
#include "tests/batch_window/window_fixture.h"
#include "tests/cups_fixture/cups_test_env.h"

namespace pbp {
namespace {

// The window with the machine's real printer list, served by the private CUPS scheduler.
class CupsPrinters : public test::WindowTest {
  protected:
    void SetUp() override {
        if (!test::cups::fixtureRunning()) GTEST_SKIP() << "private CUPS scheduler not running";
        test::cups::useServer();
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        setPrintServices({&cupsPrinters});  // the fixture restores the previous ones
    }
    printers::CupsPrinterSystem cupsPrinters;
};

// (That the saved printer is chosen at the next start is proven with the window's own printers.)
TEST_F(CupsPrinters, ListsTheQueuesAndChoosesTheSchedulersDefault) {
    displayPaths({"/d/a.vsd"});
    QStringList listed;  // the fixture's own printers; other suites add theirs meanwhile
    for (int i = 0; i < printerBox()->count(); ++i) listed << printerBox()->itemText(i);
    listed = listed.filter(QRegularExpression(QStringLiteral("^(Capture_|PlenBatchPrint PDF)")));
    EXPECT_EQ(listed, (QStringList{test::cups::kRawPrinter, test::cups::kA3Printer,
                                   test::cups::kPdfQueuePrinter, test::cups::kDuplexPrinter,
                                   test::cups::kRawLetterPrinter, test::cups::kRejectingPrinter,
                                   printers::kPdfPrinterName}));
    EXPECT_EQ(window->printerText(), test::cups::kPdfQueuePrinter);  // the CUPS default

    // Each entry tells its state, the default is marked, the PDF printer says where it writes.
    const auto tip = [&](const QString& name) {
        return printerBox()->itemData(printerBox()->findText(name), Qt::ToolTipRole).toString();
    };
    EXPECT_TRUE(tip(test::cups::kPdfQueuePrinter).contains("Idle"));
    EXPECT_TRUE(tip(test::cups::kPdfQueuePrinter).contains("System default printer"));
    EXPECT_TRUE(printerBox()
                    ->itemData(printerBox()->findText(test::cups::kPdfQueuePrinter), Qt::FontRole)
                    .value<QFont>()
                    .bold());
    EXPECT_TRUE(tip(test::cups::kRejectingPrinter).contains("rejecting jobs"));
    EXPECT_FALSE(tip(test::cups::kRawPrinter).contains("System default printer"));
    EXPECT_TRUE(tip(printers::kPdfPrinterName).contains(printers::pdfOutputFolder()));
    EXPECT_EQ(printerBox()->toolTip(), tip(test::cups::kPdfQueuePrinter));
}

}  // namespace
}  // namespace pbp
