#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "batch_window/sheet_preview_pane.h"
#include "tests/batch_window/window_fixture.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

int inkedPixels(const QImage& picture) {
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            inked += picture.pixel(x, y) != qRgb(255, 255, 255);
    return inked;
}

// The batch window with its preview shown, its drawing workers the given program.
class Preview : public test::WindowTest {
  protected:
    void start(const char* worker, const QStringList& paths) {
        qputenv("PLENBATCHPRINT_WORKER", worker);
        qputenv("PLENBATCHPRINT_TIME_LIMIT", "2");
        qputenv("PLENBATCHPRINT_MEMORY_LIMIT", "256");
        displayPaths(paths);
        printerBox()->setCurrentText(printers::kPdfPrinterName);
        window->resize(1000, 600);
        if (!pane()->isVisible()) window->findChild<QAction*>("mnuPreview")->trigger();
    }
    ~Preview() override {
        qunsetenv("PLENBATCHPRINT_WORKER");
        qunsetenv("PLENBATCHPRINT_TIME_LIMIT");
        qunsetenv("PLENBATCHPRINT_MEMORY_LIMIT");
    }
    SheetPreviewPane* pane() { return control<SheetPreviewPane>("picPreview"); }
    // Selects list row `row` as the arrow keys do and waits for its sheets.
    const visio::SheetPreview& sheetsOf(int row) {
        grid()->setCurrentCell(row - 1, 0);
        QCoreApplication::processEvents();  // the pane asks once the selection settles
        const QString file = paths().at(row - 1);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !pane()->preview().plan.sheets().empty(); }, 20000))
            << file.toStdString() << ": " << pane()->message().toStdString();
        return pane()->preview();
    }
};

// Each drawing's sheets as they will print on A4, the PDF printer's paper here: a wide page is
// turned and shrunk, a portrait page stays upright, and Page Down in the list turns to the next
// sheet (Ctrl+Page Down pages the list); a page on an uncommon paper the printer offers is
// shown on it. The Sheets column and the status line count the pages.
TEST_F(Preview, ShowsTheSelectedDrawingsSheetsAndCountsThem) {
    QTemporaryDir dir;
    QFile a3(test::fixtureDrawing("a3_paper.vdx"));
    QFile a2(dir.filePath("a2_paper.vdx"));
    ASSERT_TRUE(a3.open(QIODevice::ReadOnly) && a2.open(QIODevice::WriteOnly));
    a2.write(a3.readAll().replace("<PaperKind>8<", "<PaperKind>66<"));  // A2
    a2.close();
    printers.papers = {QPageSize(QPageSize::A2)};
    start(PLEN_WORKER_EXECUTABLE,
          {test::fixtureDrawing("a3_paper.vdx"), test::fixtureDrawing("mixed_pages.vdx"),
           test::fixtureDrawing("circle_and_turned_text.vdx"), a2.fileName()});

    const visio::SheetPreview& wide = sheetsOf(1);
    ASSERT_EQ(wide.plan.sheets().size(), 2u);
    EXPECT_EQ(wide.plan.sheets()[0].paper.id(), QPageSize::A4);
    EXPECT_TRUE(wide.plan.sheets()[0].landscape);
    EXPECT_EQ(describeSheet(wide.plan.sheets()[0]), "A4, landscape, 70 %, A3");
    EXPECT_FALSE(wide.plan.sheets()[1].landscape);
    const QImage picture = QImage::fromData(wide.png);
    EXPECT_GT(picture.width(), picture.height());
    EXPECT_EQ(picture.pixelColor(1, 1), Qt::white);  // the margin
    EXPECT_GT(inkedPixels(picture), picture.width() * picture.height() / 100);

    const visio::SheetPreview& multi = sheetsOf(2);
    ASSERT_EQ(multi.plan.sheets().size(), 3u);  // the background page prints beneath, not alone
    EXPECT_FALSE(multi.plan.sheets()[0].landscape);
    EXPECT_EQ(describeSheet(multi.plan.sheets()[0]), "A4, portrait, 91 %, Portrait");
    EXPECT_TRUE(multi.plan.sheets()[1].landscape);
    EXPECT_EQ(control<QLabel>("lblPreviewPage")->text(), "Page 1 of 3");
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_PageDown);
    QTRY_COMPARE_WITH_TIMEOUT(pane()->sheet(), 1, 20000);
    EXPECT_EQ(grid()->currentListRow(), 2);
    EXPECT_EQ(control<QLabel>("lblPreviewPage")->text(), "Page 2 of 3");
    EXPECT_TRUE(control<QLabel>("lblPreviewSheet")->text().startsWith("A4, landscape"));
    const QString screenshots = QStringLiteral(PLEN_TEST_BINARY_DIR "/screenshots");
    QDir().mkpath(screenshots);
    window->grab().save(screenshots + "/preview.png");

    QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>("lblStatus")->text(),
                              QStringLiteral("Items selected to print: 4 = 8 sheets"), 20000);
    EXPECT_EQ(grid()->textMatrix(0, 2), "Sheets");
    EXPECT_EQ(grid()->textMatrix(2, 2), "3");

    QTest::keyClick(grid(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(grid()->selectedRows(), std::vector<int>{4});
    QTRY_COMPARE_WITH_TIMEOUT(pane()->preview().plan.sheets().size(), 2u, 20000);
    EXPECT_EQ(describeSheet(pane()->preview().plan.sheets()[0]), "A2, landscape, 100 %, A3");
    button("optPrintPageOption_0")->click();  // page 1 only
    QTRY_COMPARE_WITH_TIMEOUT(grid()->textMatrix(2, 2), QStringLiteral("1"), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pane()->preview().plan.sheets().size(), 1u, 20000);
}

// A drawing that hangs its reader leaves the window responsive: keys reach the list while its
// preview is pending, the next drawing's preview follows, and the hung one shows the reason.
TEST_F(Preview, AHangingDrawingLeavesTheWindowResponsive) {
    QTemporaryDir dir;
    QFile hang(dir.filePath("hang.vsdx"));
    ASSERT_TRUE(hang.open(QIODevice::WriteOnly));
    hang.write("PLEN-TEST-HANG");
    hang.close();
    start(PLEN_HOSTILE_WORKER_EXECUTABLE,
          {hang.fileName(), test::fixtureDrawing("mixed_pages.vdx"),
           test::sourceDir() + "/tests/fixtures/hostile/zip_bomb.vsdx"});
    grid()->setFocus();
    grid()->setCurrentCell(0, 0);
    QTest::qWait(200);
    EXPECT_TRUE(pane()->preview().plan.sheets().empty());
    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(grid()->currentListRow(), 2);
    EXPECT_EQ(sheetsOf(2).plan.sheets().size(), 3u);

    grid()->setCurrentCell(0, 0);
    QTRY_COMPARE_WITH_TIMEOUT(pane()->message(),
                              QStringLiteral("the drawing took longer than 2 s to read"), 20000);
    grid()->setCurrentCell(2, 0);
    // Under load the memory hog may meet the time limit first.
    QTRY_VERIFY_WITH_TIMEOUT(pane()->message().startsWith("the drawing needed more than 256 MiB") ||
                                 pane()->message().startsWith("the drawing took longer"),
                             20000);
}

}  // namespace
}  // namespace pbp
