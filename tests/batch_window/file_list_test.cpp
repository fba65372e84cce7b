#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "batch_window/kept_list.h"

#include "tests/batch_window/window_fixture.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using FileList = test::WindowTest;

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
    grid()->setStatus(4, QStringLiteral("Sent to Printer"), {});  // moves with its row
    QTest::mouseClick(button("cmdMoveDown"), Qt::LeftButton);
    EXPECT_EQ(paths(), (QStringList{"V", "W", "X", "Y", "Z"}));
    EXPECT_EQ(grid()->selectedRows(), (std::vector<int>{2, 3, 5}));

    clickRow(3);
    clickRow(4, Qt::ShiftModifier);
    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(paths(), (QStringList{"V", "W", "Z"}));
    EXPECT_EQ(window->cellText(3, 1), QStringLiteral("Sent to Printer"));
    EXPECT_EQ(control<QLabel>("lblStatus")->text(), QStringLiteral("Items selected to print: 3"));

    grid()->selectAll();
    QTest::mouseClick(button("cmdRemove"), Qt::LeftButton);
    EXPECT_EQ(window->rowCount(), 1);
    for (const char* name : {"cmdPrint", "cmdRemove", "cmdMoveUp", "cmdMoveDown"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
}

// Add appends every file chosen, Cancel only refreshes; dropped drawings of every type are
// appended, other files, folders and web addresses are not.
TEST_F(FileList, AddAndDropAppendDrawingsAndCancelOnlyRefreshes) {
    displayPaths({"/d/a.vsd"});
    dialogs.answerFiles({"/d/b.vsd", "/d/a.vsd"});
    dialogs.answerCancel();
    QTest::mouseClick(button("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(paths(), (QStringList{"/d/a.vsd", "/d/b.vsd", "/d/a.vsd"}));
    // Every drawing type is offered first.
    EXPECT_TRUE(dialogs.requests.front().nameFilters.value(0).contains("*.vsdx *.vstx *.vsdm"));
    printerBox()->setCurrentIndex(-1);  // no printer: the refresh must now disable Print
    QTest::mouseClick(button("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(paths().size(), 3);
    EXPECT_FALSE(button("cmdPrint")->isEnabled());

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
    EXPECT_EQ(paths().mid(3), (QStringList{"/d/a.VSD", "/d/b.vsdx", "/d/c.vst", "/d/plan.vdx"}));
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

// An export into a "folder" that is a plain file is reported and writes nothing; Import appends
// each list chosen, and a binary file among them adds nothing.
TEST_F(FileList, UnwritableExportIsReportedAndImportAppendsEachReadableList) {
    displayPaths({"/c/a.vsd"});
    const QString blocker = fake.writeFile("notafolder", {});
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 37) % 256);
    const QString binary = fake.writeFile("binary.csv", noise);
    const QString list = fake.writeFile("list.csv", "/c/b.vsd, /d/c.vsdx");
    dialogs.answerFiles({blocker + QStringLiteral("/batch.csv")});
    dialogs.answerFiles({list, binary, list});
    control<QAction>("mnuExportBatch")->trigger();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("Problem in ")));
    EXPECT_EQ(test::fileBytes(blocker), QByteArray());
    control<QAction>("mnuImportBatch")->trigger();
    EXPECT_EQ(paths(), (QStringList{"/c/a.vsd", "/c/b.vsd", "/d/c.vsdx", "/c/b.vsd", "/d/c.vsdx"}));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(
        fake.messages.shown[1].text.contains(" entries of " + binary + " could not be read: "))
        << fake.messages.shown[1].text.toStdString();
}

// The list, statuses and failures included, is kept as the user works: 2,000 entries come back
// after Esc and a restart, but not when the start names drawings; Clear List empties it, and a
// damaged kept list is set aside and told once.
TEST_F(FileList, TheListSurvivesEscAndARestartUnlessTheStartNamesDrawings) {
    QStringList many;
    for (int i = 0; i < 2000; ++i) many << QStringLiteral("/srv/plans/wing %1/plan.vsdx").arg(i);
    displayPaths(many);
    EntryOutcome failed{EntryResult::OpenFailed, many[1], QStringLiteral("Office")};
    window->setOutcome(2, failed);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(fake.process.exitCodes, std::vector<int>{0});

    const auto restart = [&](const QStringList& named) {
        window = std::make_unique<frmPlenPrintBatch>();
        displayPaths(named);
    };
    restart({});
    EXPECT_EQ(paths(), many);
    EXPECT_EQ(grid()->failedRows(), std::vector<int>{2});
    EXPECT_EQ(window->cellText(2, 1), StatusText(failed));
    EXPECT_TRUE(button("cmdPrint")->isEnabled());

    restart({"/d/named.vsd"});
    EXPECT_EQ(paths(), QStringList{"/d/named.vsd"});
    control<QAction>("mnuClearList")->trigger();
    EXPECT_EQ(window->rowCount(), 1);
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
    window->close();
    restart({});
    EXPECT_EQ(window->rowCount(), 1);
    EXPECT_TRUE(fake.messages.shown.empty());

    window->close();
    test::writeFile(KeptListFile(), "{\"format\": \"PlenBatchPrint list\", \"entries\": 7");
    restart({});
    EXPECT_EQ(window->rowCount(), 1);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(KeptListFile() + ".damaged"));
    EXPECT_TRUE(QFile::exists(KeptListFile() + ".damaged"));
}

// Right-clicking a row selects it alone and offers the row tools; dragging selected rows moves
// them where they are dropped; Export asks before it replaces a file.
TEST_F(FileList, RowMenuAndDraggingEditTheListAndExportAsksBeforeReplacing) {
    const QString c = fake.writeFile("c.vsd", {});
    displayPaths({"/d/a.vsd", "/d/b.vsd", c});
    const auto rowMenu = [&](int row, const char* tool) {
        const QPoint at = grid()->visualRect(grid()->model()->index(row - 1, 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid()->viewport(), &event);
        auto* menu = grid()->findChild<QMenu*>(QStringLiteral("mnuRows"));
        ASSERT_TRUE(menu && menu->isVisible());
        QAction* action = menu->findChild<QAction*>(QLatin1String(tool));
        ASSERT_TRUE(action && action->isEnabled()) << tool;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    };
    clickRow(1);
    rowMenu(3, "mnuRowMoveUp");
    EXPECT_EQ(paths(), (QStringList{"/d/a.vsd", c, "/d/b.vsd"}));
    EXPECT_EQ(grid()->selectedRows(), std::vector<int>{2});
    rowMenu(2, "mnuRowOpen");
    rowMenu(2, "mnuRowOpenFolder");
    EXPECT_EQ(fake.urls.opened,
              (std::vector<QUrl>{QUrl::fromLocalFile(c), QUrl::fromLocalFile(fake.dir.path())}));
    rowMenu(1, "mnuRowRemove");
    EXPECT_EQ(paths(), (QStringList{c, "/d/b.vsd"}));

    clickRow(2);  // drag b onto the upper half of the first row
    QMimeData rows;
    rows.setData(QStringLiteral("application/x-plenbatchprint-rows"), "rows");
    const QRect first = grid()->visualRect(grid()->model()->index(0, 0));
    const QPoint at(first.center().x(), first.top() + 2);
    QDragEnterEvent enter(at, Qt::MoveAction, &rows, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid()->viewport(), &enter);
    QDropEvent drop(at, Qt::MoveAction, &rows, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid()->viewport(), &drop);
    EXPECT_EQ(paths(), (QStringList{"/d/b.vsd", c}));
    EXPECT_EQ(grid()->selectedRows(), std::vector<int>{1});

    const QString target = fake.writeFile("batch.csv", "kept");
    dialogs.answerFiles({target});
    dialogs.answerFiles({target});
    fake.messages.answers = {false, true};
    control<QAction>("mnuExportBatch")->trigger();
    EXPECT_EQ(test::fileBytes(target), QByteArray("kept"));
    control<QAction>("mnuExportBatch")->trigger();
    EXPECT_EQ(test::fileBytes(target), ("/d/b.vsd, " + c).toUtf8());
    EXPECT_EQ(fake.messages.asked.size(), 2);
}

}  // namespace
}  // namespace pbp
