#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>

#include "support/mod_registry_api.h"
#include "support/program_state.h"
#include "tests/batch_window/window_fixture.h"

namespace pbp {
namespace {

using Frame = test::WindowTest;

const QString kKey = QStringLiteral("Software\\Corvane\\PlenTools_2003\\PlenBatchPrint 2003");

TEST_F(Frame, CaptionsMenusAndStatusLine) {
    displayPaths({"/d/a.vsd", "/d/b.vsd", "/d/c.vsd"});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("PlenBatchPrint"));
    EXPECT_EQ(g_sAppTitle, QStringLiteral("PlenBatchPrint"));
    EXPECT_EQ(status(), QStringLiteral("Items selected to print: 3"));
    const QList<QAction*> file = control<QMenu>("abSubMenuFile")->actions();
    ASSERT_EQ(file.size(), 4);
    EXPECT_EQ(file[0]->text(), QStringLiteral("&Import Batch..."));
    EXPECT_EQ(file[1]->text(), QStringLiteral("&Export Batch..."));
    EXPECT_TRUE(file[2]->isSeparator());
    EXPECT_EQ(file[3]->text(), QStringLiteral("E&xit"));
    const QList<QAction*> help = control<QMenu>("abSubMenuHelp")->actions();
    ASSERT_EQ(help.size(), 3);
    EXPECT_EQ(help[0]->text(), QStringLiteral("&Contents.."));
    EXPECT_FALSE(help[0]->icon().isNull());
    EXPECT_EQ(help[2]->text(), QStringLiteral("&About PlenBatchPrint..."));
    EXPECT_FALSE(help[2]->icon().isNull());
    const QList<QAction*> bar = control<QMenuBar>("abMenu")->actions();
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(bar[1]->text(), QStringLiteral("&Help"));
}

TEST_F(Frame, ContentsOpensTheHelpFileAndOtherToolsRunNothing) {
    displayPaths({});
    for (const char* name : {"mnuFile", "mnuHelp", "mnuSeperator", "lblStatus", "mnuexit"})
        window->abUIControl_ToolClick(QLatin1String(name));
    EXPECT_TRUE(fake.process.exitCodes.empty());
    EXPECT_TRUE(fake.urls.opened.empty());
    control<QAction>("mnuContents")->trigger();
    ASSERT_EQ(fake.urls.opened.size(), 1u);
    EXPECT_EQ(fake.urls.opened[0],
              QUrl::fromLocalFile(fake.dir.path() + QStringLiteral("/PlenBatchPrintHelp.html")));
}

// Pixels of a twips value, as the window converts them.
int px(int twips) {
    return qRound(twips / 15.0);
}

struct Layout {
    QRect close, print, frame, printers, picture, add, remove, grid;
};

class FrameLayout : public test::WindowTest {
  protected:
    Layout layout() {
        return {button("cmdClose")->geometry(),         button("cmdPrint")->geometry(),
                control("fraPrintOptions")->geometry(), printerBox()->geometry(),
                control("picPrintOptions")->geometry(), button("cmdAdd")->geometry(),
                button("cmdRemove")->geometry(),        grid()->geometry()};
    }
    int twipsWide() { return window->frameGeometry().width() * 15; }
    int twipsHigh() { return window->frameGeometry().height() * 15; }
};

TEST_F(FrameLayout, ShrinkingSnapsToTheMinimumAndPlacesControlsByTheRules) {
    displayPaths({});
    window->resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_GE(twipsWide(), 8000);
    EXPECT_GE(twipsHigh(), 5800);
    const int W = twipsWide();
    const int H = twipsHigh();
    const Layout at = layout();
    EXPECT_EQ(at.close.x(), px(W - 1215 - 200));
    EXPECT_EQ(at.print.x(), px(at.close.x() * 15 - 1215 - 100));
    EXPECT_EQ(at.close.y(), px(H - 375 - 1000));
    EXPECT_EQ(at.print.y(), at.close.y());
    EXPECT_EQ(at.frame.y(), px(at.print.y() * 15 - 1695 - 200));
    EXPECT_EQ(at.frame.width(), px(W - 300));
    EXPECT_EQ(at.printers.width(), px(at.frame.width() * 15 - 200));
    EXPECT_EQ(at.picture.y(), px(at.frame.y() * 15 + 900));
    EXPECT_EQ(at.add.x(), px(W - 1215 - 200));
    EXPECT_EQ(at.remove.x(), at.add.x());
    EXPECT_EQ(at.grid, QRect(8, 24, px(W - 1215 - 400), px(H - 3800)));
}

TEST_F(FrameLayout, GrowingMovesAndStretchesByTheSameAmountAndMinimizedMovesNothing) {
    displayPaths({});
    window->resize(700, 500);
    QCoreApplication::processEvents();
    const Layout before = layout();
    window->resize(760, 540);
    QCoreApplication::processEvents();
    const Layout after = layout();
    for (auto moved : {&Layout::close, &Layout::print, &Layout::add, &Layout::remove})
        EXPECT_EQ((after.*moved).x() - (before.*moved).x(), 60);
    EXPECT_EQ(after.close.y() - before.close.y(), 40);
    EXPECT_EQ(after.frame.y() - before.frame.y(), 40);
    EXPECT_EQ(after.picture.y() - before.picture.y(), 40);
    EXPECT_EQ(after.add.y(), before.add.y());
    EXPECT_EQ(after.grid.size() - before.grid.size(), QSize(60, 40));
    EXPECT_EQ(after.frame.width() - before.frame.width(), 60);
    EXPECT_EQ(after.printers.width() - before.printers.width(), 60);
    EXPECT_EQ(after.frame.height(), before.frame.height());

    window->showMinimized();
    window->resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(layout().grid, after.grid);
    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(layout().grid.width(), px(twipsWide() - 1215 - 400));
}

// Each way out runs the closing steps once: the printer is saved, and a later change is not.
class Closing : public test::WindowTest, public ::testing::WithParamInterface<int> {
  protected:
    QString saved() {
        return ReadRegistryString(HKEY_CURRENT_USER, kKey, QStringLiteral("DefaultPrinter"));
    }
};

TEST_P(Closing, EveryWayOutSavesThePrinterExactlyOnce) {
    displayPaths({});
    printerBox()->setCurrentIndex(1);
    switch (GetParam()) {
        case 0:
            control<QAction>("mnuExit")->trigger();
            break;
        case 1:
            QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
            break;
        case 2:
            QTest::keyClick(grid(), Qt::Key_Escape);
            break;
        case 3:
            window->close();
            break;
    }
    EXPECT_EQ(saved(), QStringLiteral("Zeta"));
    EXPECT_EQ(fake.process.exitCodes, GetParam() == 3 ? std::vector<int>{} : std::vector<int>{0});
    printerBox()->setCurrentIndex(2);
    window->close();
    EXPECT_EQ(saved(), QStringLiteral("Zeta"));
}

INSTANTIATE_TEST_SUITE_P(ExitCloseEscAndCloseBox, Closing, ::testing::Values(0, 1, 2, 3));

TEST_F(Frame, ASettingsFolderThatCannotBeWrittenIsReportedAndTheProgramStillEnds) {
    displayPaths({});
    // The settings folder's place is taken by a plain file: no user can write there.
    QFile blocker(fake.tempPath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    fake.get().registryFile = fake.tempPath("blocked/registry");
    QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in frmPlenPrintBatch.SaveDefaultPrinter\r\nError Number: ")));
    EXPECT_EQ(fake.process.exitCodes, std::vector<int>{0});
}

TEST_F(Frame, EnterRunsPrintAndAFocusedButtonTakesItsOwnEnter) {
    displayPaths({});
    printers.names.clear();
    QTest::keyClick(grid(), Qt::Key_Return);  // Print disabled: nothing happens
    EXPECT_TRUE(fake.messages.shown.empty());
    button("cmdPrint")->setEnabled(true);
    QTest::keyClick(control<QLineEdit>("txtCopies"), Qt::Key_Return);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("There are no documents selected to print."));
    QTest::keyClick(button("cmdClose"), Qt::Key_Return);
    EXPECT_EQ(fake.process.exitCodes, std::vector<int>{0});
}

}  // namespace
}  // namespace pbp
