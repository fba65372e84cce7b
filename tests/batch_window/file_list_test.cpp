#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "support/program_state.h"
#include "tests/batch_window/window_fixture.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using FileList = test::WindowTest;

TEST_F(FileList, AnAbsentCollectionGivesAnEmptyList) {
    FileCollection absent;
    window->Display(absent);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
}

TEST_F(FileList, SelectingByMouseMovingAndRemovingWithButtonsAndDeleteKey) {
    displayPaths({"V", "W", "X", "Y", "Z"});
    EXPECT_FALSE(button("cmdMoveUp")->isEnabled());
    clickRow(2);
    clickRow(3, Qt::ControlModifier);
    clickRow(5, Qt::ControlModifier);
    QTest::mouseClick(button("cmdMoveUp"), Qt::LeftButton);
    EXPECT_EQ(paths(), (QStringList{"W", "X", "V", "Z", "Y"}));
    EXPECT_EQ(grid()->selectedRows(), (std::vector<int>{1, 2, 4}));
    QTest::mouseClick(button("cmdMoveUp"), Qt::LeftButton);  // row 1 selected: nothing moves
    EXPECT_EQ(paths(), (QStringList{"W", "X", "V", "Z", "Y"}));

    clickRow(2);
    clickRow(3, Qt::ShiftModifier);
    QTest::mouseClick(button("cmdMoveDown"), Qt::LeftButton);
    EXPECT_EQ(paths(), (QStringList{"W", "Z", "X", "V", "Y"}));
    EXPECT_EQ(grid()->selectedRows(), (std::vector<int>{3, 4}));

    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(paths(), (QStringList{"W", "Z", "Y"}));
    EXPECT_EQ(control<QLabel>("lblStatus")->text(), QStringLiteral("Items selected to print: 3"));

    grid()->selectAll();
    QTest::mouseClick(button("cmdRemove"), Qt::LeftButton);
    EXPECT_EQ(window->rowCount(), 1);
    for (const char* name : {"cmdPrint", "cmdRemove", "cmdMoveUp", "cmdMoveDown"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
}

TEST_F(FileList, DroppedDrawingsOfEveryTypeAreAppendedAndFoldersAreNot) {
    displayPaths({QStringLiteral("/SILENT")});  // not the silent marker: an entry
    EXPECT_FALSE(g_bSilentMode);
    const QString folder = fake.tempPath(QStringLiteral("x.vsd"));
    QDir().mkpath(folder);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/d/a.VSD"), QUrl::fromLocalFile("/d/b.vsdx"),
                  QUrl::fromLocalFile("/d/c.vst"), QUrl::fromLocalFile("/d/plan.vdx"),
                  QUrl::fromLocalFile("/d/notes.txt"), QUrl::fromLocalFile(folder),
                  QUrl(QStringLiteral("https://x/y.vsd"))});
    const QPoint at = grid()->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid()->viewport(), &drop);
    EXPECT_EQ(paths(),
              (QStringList{"/SILENT", "/d/a.VSD", "/d/b.vsdx", "/d/c.vst", "/d/plan.vdx"}));
}

TEST_F(FileList, AddAppendsChosenFilesAndCancelOnlyRefreshes) {
    displayPaths({"/d/a.vsd"});
    dialogs.answerFiles({"/d/b.vsd", "/d/a.vsd"});
    dialogs.answerCancel();
    QTest::mouseClick(button("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(paths(), (QStringList{"/d/a.vsd", "/d/b.vsd", "/d/a.vsd"}));
    // Every drawing type first, then the classic filter, then all files.
    EXPECT_EQ(dialogs.requests.front().nameFilters,
              (QStringList{"Visio drawings (*.vsd *.vst *.vdx *.vtx *.vsdx *.vstx *.vsdm *.vstm)",
                           "Visio Document (*.vsd *.vst *.vdx *.vtx)", "All files (*)"}));
    printerBox()->setCurrentIndex(-1);  // no printer: the refresh must now disable Print
    QTest::mouseClick(button("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(paths().size(), 3);
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
}

// The File column takes the spare width and keeps the file name in view; a run clears the
// earlier statuses and scrolls to the row it prints; the layout is kept for the next start.
TEST_F(FileList, TheListShowsFileNamesFollowsTheRunAndKeepsItsLayout) {
    QStringList many;
    for (int i = 1; i <= 40; ++i)
        many << QStringLiteral("/home/someone/Projects/north wing/Electrical/plan %1.vsdx").arg(i);
    displayPaths(many);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid()->textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(grid()->columnWidth(0) + grid()->columnWidth(1), grid()->viewport()->width());
    EXPECT_GE(grid()->columnWidth(1),
              grid()->fontMetrics().horizontalAdvance(QStringLiteral("Sent to Printer")));
    EXPECT_LT(grid()->columnWidth(1), grid()->columnWidth(0));

    grid()->setStatus(1, QStringLiteral("Sent to Printer"), {});
    window->runStarting();
    EXPECT_EQ(window->cellText(1, 1), QString());
    window->entryStarting(40);
    EXPECT_TRUE(grid()->viewport()->rect().contains(
        grid()->visualRect(grid()->model()->index(39, 0)).center()));

    window->resize(700, 480);
    grid()->setStatusColumnWidth(150);
    window->close();
    window = std::make_unique<frmPlenPrintBatch>();
    displayPaths({});
    EXPECT_EQ(window->size(), QSize(700, 480));
    EXPECT_EQ(grid()->statusColumnWidth(), 150);
}

TEST_F(FileList, ExportWritesThePathsJoinedAndImportAppendsEachListChosen) {
    displayPaths({"/c/a.vsd", "/d/b.vsdx"});
    const QString target = fake.tempPath("batch.csv");
    dialogs.answerFiles({target});
    dialogs.answerFiles({target, target});
    control<QAction>("mnuExportBatch")->trigger();
    EXPECT_EQ(test::fileBytes(target), QByteArray("/c/a.vsd, /d/b.vsdx"));
    control<QAction>("mnuImportBatch")->trigger();
    EXPECT_EQ(paths(), (QStringList{"/c/a.vsd", "/d/b.vsdx", "/c/a.vsd", "/d/b.vsdx", "/c/a.vsd",
                                    "/d/b.vsdx"}));
    EXPECT_TRUE(fake.messages.shown.empty());
}

// An export into a "folder" that is a plain file is reported and writes nothing; a binary file
// imported adds nothing.
TEST_F(FileList, UnwritableExportAndBinaryImportLeaveEverythingAsItWas) {
    displayPaths({"/c/a.vsd"});
    const QString blocker = fake.writeFile("notafolder", {});
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 37) % 256);
    const QString binary = fake.writeFile("binary.csv", noise);
    dialogs.answerFiles({blocker + QStringLiteral("/batch.csv")});
    dialogs.answerFiles({binary});
    control<QAction>("mnuExportBatch")->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("Problem in ")));
    EXPECT_EQ(test::fileBytes(blocker), QByteArray());
    control<QAction>("mnuImportBatch")->trigger();
    EXPECT_EQ(paths(), QStringList{"/c/a.vsd"});
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(
        fake.messages.shown[1].text.contains(" entries of " + binary + " could not be read: "))
        << fake.messages.shown[1].text.toStdString();
}

}  // namespace
}  // namespace pbp
