#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "batch_window/frm_plen_print_batch.h"
#include "printing/engine/engine_factory.h"
#include "printing/printers/cups_printer_system.h"
#include "printing/run/status_window.h"
#include "support/program_state.h"
#include "tests/common/fake_platform.h"
#include "tests/print_run/program_run.h"
#include "tests/print_run/vdx_writer.h"

namespace pbp::test {

namespace {
// The real window, engine and CUPS printers on the private scheduler, with one capture
// printer of the test's own.
class WindowRun {
  public:
    explicit WindowRun(const QString& printerName) : printer(printerName), engines(printers) {
        cups::useFixtureServer();
        qputenv("PLENBATCHPRINT_PDF_DIR", work.filePath("pdf").toUtf8());
        cups::removePrinter(printer);
        QDir(cups::captureDir(printer)).removeRecursively();
        added = cups::addPrinter(printer);
        fake.get().printers = &printers;
        fake.get().engines = &engines;
    }
    ~WindowRun() {
        SetStatusWindowFactory({});
        cups::removePrinter(printer);
    }

    // Lists `count` drawings of three pages each and shows the window with the printer chosen.
    void show(int count) {
        std::vector<FileItem> items;
        for (int i = 1; i <= count; ++i) {
            const QString path = work.filePath(QStringLiteral("drawing %1.vdx").arg(i));
            writeVdx(path, {VdxPage{}, VdxPage{11, 8.5, 1}, VdxPage{}});
            paths << path;
            items.emplace_back(path);
        }
        FileCollection files = std::move(items);
        window.Display(files);
        auto* box = control<QComboBox>("cboSelectedPrinter");
        box->setCurrentIndex(box->findText(printer));
    }
    template <class Widget>
    Widget* control(const char* name) {
        return window.findChild<Widget*>(QLatin1String(name));
    }
    void typeCopies(const QString& copies) {
        auto* edit = control<QLineEdit>("txtCopies");
        edit->clear();
        QTest::keyClicks(edit, copies);
    }
    void pressPrint() { QTest::mouseClick(control<QPushButton>("cmdPrint"), Qt::LeftButton); }
    // The status column as the list shows it, one text per drawing.
    QStringList statuses() {
        auto* grid = control<QTableWidget>("fgListOfFiles");
        QStringList shown;
        for (const QString& path : paths)
            for (int row = 0; row < grid->rowCount(); ++row)
                if (grid->item(row, 0) && grid->item(row, 0)->text() == path)
                    shown << (grid->item(row, 1) ? grid->item(row, 1)->text() : QString());
        return shown;
    }

    QString printer;
    QString added;
    QTemporaryDir work;
    ScopedFakePlatform fake;
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory engines;
    frmPlenPrintBatch window;
    QStringList paths;
};

const QString kSent = QStringLiteral("Sent to Printer");
}  // namespace

TEST(PrintWindow, PrintButtonSendsSummaryThenDrawingsWithCopiesAndPageRange) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    WindowRun run(QStringLiteral("PrintRun_Window"));
    ASSERT_EQ(run.added, QString());
    run.show(2);
    run.typeCopies(QStringLiteral("2"));
    run.control<QRadioButton>("optPrintPageOption_0")->click();
    run.control<QCheckBox>("chkPrintSummaryPage")->click();
    g_sSelectedPrinter = run.printer;
    run.pressPrint();
    EXPECT_EQ(run.statuses(), QStringList({kSent, kSent}));
    EXPECT_TRUE(run.control<QPushButton>("cmdPrint")->isEnabled());
    const auto summary = cups::waitForJob(run.printer, 1);
    const auto first = cups::waitForJob(run.printer, 2);
    const auto second = cups::waitForJob(run.printer, 3);
    ASSERT_TRUE(summary && first && second);
    EXPECT_EQ(summary->copies, 1);
    EXPECT_EQ(pdfPageCount(summary->documentPath), 1);
    for (const auto& job : {*first, *second}) {
        EXPECT_EQ(job.copies, 2);
        EXPECT_EQ(pdfPageCount(job.documentPath), 1);
    }
}

TEST(PrintWindow, NoCopiesPrintNothingAndLargeCountsGoToThePrinter) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    WindowRun run(QStringLiteral("PrintRun_Copies"));
    ASSERT_EQ(run.added, QString());
    run.show(1);
    // No copies: Print is disabled, so pressing it prints nothing.
    for (const QString& copies : {QStringLiteral("0"), QString()}) {
        run.typeCopies(copies);
        EXPECT_FALSE(run.control<QPushButton>("cmdPrint")->isEnabled());
        run.pressPrint();
    }
    EXPECT_EQ(run.statuses(), QStringList{QString()});
    run.typeCopies(QStringLiteral("999"));
    run.pressPrint();
    EXPECT_EQ(run.statuses(), QStringList{kSent});
    const auto job = cups::waitForJob(run.printer, 1);
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(job->copies, 999);
    EXPECT_EQ(pdfPageCount(job->documentPath), 3);
}

// Removes the printer as soon as the first drawing is being closed.
class PrinterRemover : public StatusWindow {
  public:
    explicit PrinterRemover(QString printer) : printer_(std::move(printer)) {}
    void Display() override {}
    void Value(const QString& text, qint32) override {
        if (text.startsWith(QLatin1String("Closing file (1 "))) cups::removePrinter(printer_);
    }

  private:
    QString printer_;
};

TEST(PrintWindow, PrinterRemovedDuringTheRunFailsTheRemainingEntries) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    WindowRun run(QStringLiteral("PrintRun_Vanishing"));
    ASSERT_EQ(run.added, QString());
    SetStatusWindowFactory([&](QWidget*) { return std::make_unique<PrinterRemover>(run.printer); });
    run.show(3);
    run.pressPrint();
    const QStringList shown = run.statuses();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], kSent);
    EXPECT_TRUE(shown[1].startsWith("Error Printing File. Error: ")) << shown[1].toStdString();
    EXPECT_TRUE(shown[2].startsWith("Error Printing File. Error: "));
}

}  // namespace pbp::test
