#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "printing/engine/engine_factory.h"
#include "printing/printers/combined_pdf_printer.h"
#include "printing/printers/cups_printer_system.h"
#include "printing/printers/printer_choices.h"
#include "printing/run/kept_printer_choices.h"
#include "printing/run/print_services.h"
#include "progress/frm_status.h"
#include "tests/common/fake_file_dialogs.h"
#include "tests/common/fake_platform.h"
#include "tests/engine/engine_fixture.h"
#include "tests/print_run/program_run.h"

namespace pbp::test {

namespace {

// Answers the question the status window is about to ask.
void answerNextQuestion(QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(answer)->click();
    });
}

// The real status window; when the second drawing opens the user closes the batch window and
// says No, when the third opens they click Cancel and say Yes.
struct CancellingStatus : StatusWindow {
    CancellingStatus(frmPlenPrintBatch& window, std::unique_ptr<StatusWindow> real)
        : owner(window), shown(std::move(real)) {}
    void Display() override { shown->Display(); }
    void Value(const QString& text, qint32 value) override {
        shown->Value(text, value);
        if (!text.startsWith(QLatin1String("Opening "))) return;
        if (text.endsWith(QLatin1String("(2 of 4)"))) {
            answerNextQuestion(QMessageBox::No);
            owner.close();
        } else if (text.endsWith(QLatin1String("(3 of 4)"))) {
            answerNextQuestion(QMessageBox::Yes);
            QTest::mouseClick(owner.findChild<frmStatus*>()->findChild<QPushButton*>("cmdCancel"),
                              Qt::LeftButton);
        }
    }
    frmPlenPrintBatch& owner;
    std::unique_ptr<StatusWindow> shown;
};

struct CancellingWindow : frmPlenPrintBatch {
    std::unique_ptr<StatusWindow> openStatusWindow() override {
        return std::make_unique<CancellingStatus>(*this, frmPlenPrintBatch::openStatusWindow());
    }
};

// The real batch window that reads, as a screen reader would, the status window's progress
// bar each time the run turns to the next drawing.
struct ProgressReadingWindow : frmPlenPrintBatch {
    void entryStarting(int row) override {
        frmPlenPrintBatch::entryStarting(row);
        QAccessibleInterface* bar =
            QAccessible::queryAccessibleInterface(findChild<QWidget*>(QStringLiteral("picStatus")));
        if (bar && bar->role() == QAccessible::ProgressBar &&
            bar->text(QAccessible::Name) == QLatin1String("Progress") && bar->valueInterface())
            progressSeen.push_back(bar->valueInterface()->currentValue());
    }
    std::vector<QVariant> progressSeen;
};
}  // namespace

// Closing the window during a run only asks; Cancel in the status window, confirmed, ends the
// run: what was sent stays sent, the rest read as cancelled, no PDF is half written, and the
// window is ready for the next run.
TEST(PrintWindow, CancelEndsTheRunAndEveryEntryNotPrintedSaysSo) {
    QTemporaryDir work;
    ScopedFakePlatform fake;
    qputenv("PLENBATCHPRINT_PDF_DIR", work.path().toUtf8());
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory engines(printers, [] { return testWorkerSettings(); });
    ScopedPrintServices services({&printers, &engines});
    CancellingWindow window;
    window.Display(
        {.files = std::vector<FileItem>(4, fixtureDrawing(QStringLiteral("mixed_pages.vdx"))),
         .printer = printers::kPdfPrinterName});
    window.show();
    auto* print = window.findChild<QPushButton*>(QStringLiteral("cmdPrint"));
    QTest::mouseClick(print, Qt::LeftButton);

    const QString cancelled = QStringLiteral("Not printed: the run was cancelled");
    EXPECT_EQ(QStringList({window.cellText(1, 1), window.cellText(2, 1), window.cellText(3, 1),
                           window.cellText(4, 1)}),
              QStringList({QStringLiteral("Sent to Printer"), QStringLiteral("Sent to Printer"),
                           cancelled, cancelled}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(print->isEnabled());
    EXPECT_EQ(window.findChild<frmStatus*>(), nullptr);
    const QStringList written = QDir(work.path()).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(written.size(), 2) << written.join(' ').toStdString();
    for (const QString& pdf : written) EXPECT_GT(pdfPageCount(work.filePath(pdf)), 0);
}

// Properties: the real button opens the selected queue's options; a duplex choice made there
// is kept for the printer (that kept choices reach every job is proven end to end).
TEST(PrintWindow, DuplexChosenInPropertiesIsKeptForThePrinter) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    const QString printer = cups::kDuplexPrinter;
    ScopedFakePlatform fake;
    cups::useServer();
    printers::CupsPrinterSystem cups;
    printers::ChosenOptionsPrinters printers(cups, KeptPrinterChoices);
    LibVisioEngineFactory engines(printers, [] { return testWorkerSettings(); });
    ScopedPrintServices services({&printers, &engines});
    frmPlenPrintBatch window;
    window.Display(
        {.files = std::vector<FileItem>{fixtureDrawing(QStringLiteral("mixed_pages.vdx"))}});
    auto* box = window.findChild<QComboBox*>(QStringLiteral("cboSelectedPrinter"));
    box->setCurrentIndex(box->findText(printer));
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
    EXPECT_EQ(KeptPrinterChoices(printer).value(QStringLiteral("sides")),
              QStringLiteral("two-sided-long-edge"));
}

// A failed row stands out (icon, colour, its full status under the list), the status bar
// counts the outcome, tooltips say where each PDF went and what a drawing lacks, and Edit >
// Print Failed Again prints the failed rows only once mended. An unwritable PDF folder is told
// before the run, which then prints nothing. The status window's progress is a progress bar to
// assistive technology, and its value follows the run. The run fills the Sheets column, which
// the window cannot count here (it has no worker program). Of the entries marked
// Delete="true", only the drawing that was sent goes when the window closes; one whose row was
// removed stays.
TEST(PrintWindow, FailedRowsStandOutAndPrintAgainOnceMended) {
    QTemporaryDir work;
    ScopedFakePlatform fake;
    const QString blocked = writeFile(work.filePath("blocked"), {});
    qputenv("PLENBATCHPRINT_PDF_DIR", (blocked + "/pdf").toUtf8());
    printers::CupsPrinterSystem printers;
    LibVisioEngineFactory engines(printers, [] { return testWorkerSettings(); });
    ScopedPrintServices services({&printers, &engines});
    const QString good = work.filePath("good.vdx"), removed = work.filePath("removed.vdx"),
                  broken = writeFile(work.filePath("broken.vdx"), "not a drawing"),
                  pictures = work.filePath("pictures.vdx");
    for (const QString& copy : {good, removed})
        ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("mixed_pages.vdx")), copy));
    ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("bad_pictures.vdx")), pictures));
    ProgressReadingWindow window;
    window.Display({.files = std::vector<FileItem>{cPrintFile{good, true},
                                                   cPrintFile{removed, true}, broken, pictures},
                    .printer = printers::kPdfPrinterName});
    auto* grid = window.findChild<FileListGrid*>(QStringLiteral("fgListOfFiles"));
    grid->markSelected(2);
    window.cmdRemove_Click();
    auto* print = window.findChild<QPushButton*>(QStringLiteral("cmdPrint"));
    const auto text = [&](const char* label) {
        return window.findChild<QLabel*>(QLatin1String(label))->text();
    };

    fake.messages.answers = {false};
    QTest::mouseClick(print, Qt::LeftButton);
    ASSERT_EQ(fake.messages.asked.size(), 1);
    EXPECT_TRUE(fake.messages.asked[0].startsWith("The PDF folder " + blocked + "/pdf cannot be"));
    EXPECT_EQ(window.cellText(1, 1), QString());

    const QString pdfDir = work.filePath("pdf");
    qputenv("PLENBATCHPRINT_PDF_DIR", pdfDir.toUtf8());
    QTest::mouseClick(print, Qt::LeftButton);
    EXPECT_EQ(window.progressSeen, (std::vector<QVariant>{0, 33, 67}));
    EXPECT_EQ(text("lblStatus"), "Run finished: 2 of 3 sent to the printer, 1 not printed");
    EXPECT_EQ(grid->failedRows(), std::vector<int>{2});
    EXPECT_EQ(QStringList({window.cellText(1, 2), window.cellText(2, 2), window.cellText(3, 2)}),
              QStringList({"3", "", "1"}));
    EXPECT_TRUE(grid->item(0, 1)->icon().isNull());
    EXPECT_FALSE(grid->item(1, 1)->icon().isNull());
    EXPECT_TRUE(grid->item(1, 0)->foreground().color() != grid->item(0, 0)->foreground().color());
    EXPECT_EQ(grid->item(0, 1)->toolTip(), "Sent to Printer\nPDF: " + pdfDir + "/good.vdx.pdf");
    // A drawing printed without its three damaged pictures keeps the classic status; the
    // tooltip says what is missing and why.
    EXPECT_EQ(grid->item(2, 1)->text(), "Sent to Printer");
    const QString tip = grid->item(2, 1)->toolTip();
    EXPECT_TRUE(tip.startsWith("Sent to Printer\nPDF: " + pdfDir + "/pictures.vdx.pdf" +
                               "\n3 pictures could not be drawn:\nPicture of type image/emf"))
        << tip.toStdString();
    EXPECT_EQ(tip.count('\n'), 5);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(1, 0)).center());
    EXPECT_EQ(text("lblRowStatus"), grid->item(1, 1)->toolTip().simplified());
    EXPECT_TRUE(text("lblRowStatus")
                    .endsWith("Visio. '" + broken + "' is not a Visio drawing, or it is damaged."))
        << text("lblRowStatus").toStdString();

    ASSERT_TRUE(QFile::remove(broken) && QFile::copy(good, broken));
    auto* edit = window.findChild<QMenu*>(QStringLiteral("abSubMenuEdit"));
    edit->popup(window.mapToGlobal(QPoint(0, 0)));
    QAction* again = edit->findChild<QAction*>(QStringLiteral("mnuPrintFailedAgain"));
    ASSERT_TRUE(again && again->isEnabled());
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(again).center());
    EXPECT_EQ(window.cellText(2, 1), QStringLiteral("Sent to Printer"));
    EXPECT_EQ(window.cellText(2, 2), QStringLiteral("3"));
    EXPECT_TRUE(grid->failedRows().empty());
    EXPECT_EQ(text("lblStatus"), "Run finished: 1 of 1 sent to the printer, 0 not printed");
    EXPECT_EQ(QDir(pdfDir).entryList({"*.pdf"}, QDir::Files).size(), 3);
    EXPECT_EQ(fake.messages.asked.size(), 1);
    EXPECT_TRUE(fake.messages.shown.empty());
    window.close();
    EXPECT_FALSE(QFile::exists(good));
    EXPECT_TRUE(QFile::exists(removed));
}

// File > Save as One PDF asks for the file and prints the whole list into it: the sheets of
// both drawings, on the PDF printer, and nothing into the PDF printer's folder.
TEST(PrintWindow, SaveAsOnePdfAsksForTheFileAndJoinsTheList) {
    QTemporaryDir work;
    ScopedFakePlatform fake;
    FakeFileDialogService dialogs;
    fake.get().fileDialogs = &dialogs;
    qputenv("PLENBATCHPRINT_PDF_DIR", work.filePath("folder").toUtf8());
    printers::CupsPrinterSystem cups;
    printers::CombinedPdfPrinter printers(cups);
    LibVisioEngineFactory engines(printers, [] { return testWorkerSettings(); });
    ScopedPrintServices services({&printers, &engines, &printers});
    frmPlenPrintBatch window;
    window.Display(
        {.files = std::vector<FileItem>(2, fixtureDrawing(QStringLiteral("mixed_pages.vdx")))});

    const QString joined = work.filePath("joined.pdf");
    dialogs.answerFiles({joined});
    window.findChild<QAction*>(QStringLiteral("mnuSaveAsOnePdf"))->trigger();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(window.cellText(2, 1), QStringLiteral("Sent to Printer"));
    EXPECT_EQ(pdfPageCount(joined), 6);
    EXPECT_FALSE(QFileInfo::exists(work.filePath("folder")));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("lblStatus"))->text().endsWith(joined));
    EXPECT_TRUE(fake.messages.shown.empty());
}

}  // namespace pbp::test
