#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTranslator>
#include <functional>
#include <set>

#include "resources/translations.h"
#include "tests/batch_window/window_fixture.h"

namespace pbp {
namespace {

using Frame = test::WindowTest;
using test::savedPrinter;

// The help page is found beside the program (build tree) or in share/plenbatchprint beside
// its bin folder (installed); a page that cannot be opened is reported (no page at all is met
// by the F1 shortcut below). Open PDF Folder makes and opens the PDF printer's folder.
TEST_F(Frame, HelpAndPdfFolderOpenWhereverTheyAreAndAFailureIsReported) {
    const QString folder = fake.tempPath(QStringLiteral("pdfs/not yet made"));
    const QByteArray before = qgetenv("PLENBATCHPRINT_PDF_DIR");
    qputenv("PLENBATCHPRINT_PDF_DIR", folder.toUtf8());
    displayPaths({});
    control<QAction>("mnuOpenPdfFolder")->trigger();
    qputenv("PLENBATCHPRINT_PDF_DIR", before);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(fake.urls.opened, std::vector<QUrl>{QUrl::fromLocalFile(folder)});

    const auto contents = [&] { control<QAction>("mnuContents")->trigger(); };
    QDir(fake.dir.path()).mkpath(QStringLiteral("bin"));
    const QString installed =
        fake.dir.path() + QStringLiteral("/share/plenbatchprint/PlenBatchPrintHelp.html");
    const QString beside = fake.dir.path() + QStringLiteral("/bin/PlenBatchPrintHelp.html");
    fake.get().programFolder = fake.dir.path() + QStringLiteral("/bin");
    for (const QString& page : {installed, beside}) {
        test::writeFile(page, {});
        contents();
        EXPECT_EQ(fake.urls.opened.back(), QUrl::fromLocalFile(page));
    }
    EXPECT_TRUE(fake.messages.shown.empty());
    fake.urls.handlerInstalled = false;  // no handler for HTML pages
    contents();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        "Problem in frmPlenPrintBatch.mnuContents_Click\r\nError Number: 31\r\n"));
}

TEST_F(Frame, SnapsToTheMinimumGrowsControlsAlongAndLeavesAMinimizedWindowAlone) {
    const auto at = [&](const char* name) { return control(name)->geometry(); };
    const auto resizeTo = [&](int width, int height) {
        window->resize(width, height);
        QCoreApplication::processEvents();
    };
    displayPaths({});
    resizeTo(300, 200);
    EXPECT_EQ(window->size(), QSize(524, 358));  // 8000 by 5800 twips outside

    // 60 px wider and 40 px higher: the list grows by that, the corner buttons move by that.
    resizeTo(700, 500);
    const QRect grid = at("fgListOfFiles"), close = at("cmdClose");
    resizeTo(760, 540);
    EXPECT_EQ(at("fgListOfFiles").size() - grid.size(), QSize(60, 40));
    EXPECT_EQ(at("cmdClose").topLeft() - close.topLeft(), QPoint(60, 40));

    const QRect wide = at("fgListOfFiles");
    window->showMinimized();
    resizeTo(900, 700);
    EXPECT_EQ(at("fgListOfFiles"), wide);
    window->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(at("fgListOfFiles").width() - wide.width(), window->width() - 760);
}

// Each way out runs the closing steps once: the printer is saved, and a later change is not.
class Closing : public test::WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(Closing, EveryWayOutSavesThePrinterExactlyOnce) {
    displayPaths({});
    printerBox()->setCurrentIndex(1);
    const std::function<void()> waysOut[] = {
        [&] { control<QAction>("mnuExit")->trigger(); },
        [&] { QTest::mouseClick(button("cmdClose"), Qt::LeftButton); },
        [&] { QTest::keyClick(grid(), Qt::Key_Escape); }, [&] { window->close(); }};
    waysOut[GetParam()]();
    EXPECT_EQ(savedPrinter(), QStringLiteral("Zeta"));
    EXPECT_EQ(fake.process.exitCodes, GetParam() == 3 ? std::vector<int>{} : std::vector<int>{0});
    printerBox()->setCurrentIndex(2);
    window->close();
    EXPECT_EQ(savedPrinter(), QStringLiteral("Zeta"));
}

INSTANTIATE_TEST_SUITE_P(ExitCloseEscAndCloseBox, Closing, ::testing::Values(0, 1, 2, 3));

// The settings folder's place is taken by a plain file, so no user can read or write there.
// Each failure is reported; the window is still shown, the closing steps go on and the
// program still ends (a silent run with such settings is driven end to end).
TEST_F(Frame, UnusableSettingsAreReportedAndNothingHangs) {
    fake.writeFile("blocked", {});
    fake.get().registryFile = fake.tempPath("blocked/registry");
    displayPaths({"/d/a.vsd"});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(paths(), QStringList{"/d/a.vsd"});
    QTest::mouseClick(button("cmdClose"), Qt::LeftButton);
    ASSERT_EQ(fake.messages.shown.size(), 3u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in frmPlenPrintBatch.Display\r\n")));
    EXPECT_TRUE(fake.messages.shown[1].text.startsWith(
        QStringLiteral("Problem in frmPlenPrintBatch.SaveDefaultPrinter\r\n")));
    EXPECT_TRUE(fake.messages.shown[2].text.startsWith(
        QStringLiteral("Problem in frmPlenPrintBatch.KeepList\r\n")));
    EXPECT_EQ(fake.process.exitCodes, std::vector<int>{0});
}

// The desktop's keys reach their tools: Ctrl+O, Ctrl+S, Ctrl+P, F1 and Ctrl+Q; Enter runs
// Print, and a focused button takes its own Enter.
TEST_F(Frame, ShortcutsAndEnterReachTheirTools) {
    displayPaths({"/d/a.vsd"});
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].title, QStringLiteral("Import Batch"));
    EXPECT_EQ(dialogs.requests[1].title, QStringLiteral("Export Batch"));
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);  // no drawing engine here
    QTest::keyClick(window.get(), Qt::Key_F1);                      // no help page here
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith("PlenPrint was unable to start Visio."));
    EXPECT_TRUE(fake.messages.shown[1].text.startsWith(
        "Problem in frmPlenPrintBatch.mnuContents_Click\r\nError Number: 2\r\n"));
    QTest::keyClick(control<QLineEdit>("txtCopies"), Qt::Key_Return);
    EXPECT_EQ(fake.messages.shown.size(), 3u);
    QTest::keyClick(button("cmdAdd"), Qt::Key_Return);
    EXPECT_EQ(dialogs.requests.size(), 3u);
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(fake.process.exitCodes, std::vector<int>{0});
}

// What a screen reader is told: the list's and the page options' names, the row that has
// focus after the Add dialog, and the file now in the focused row after Move Up; the keys that
// reach controls without the mouse.
TEST_F(Frame, AScreenReaderHearsTheListItsGroupsAndTheRowThatMovedAndKeysReachControls) {
    displayPaths({"/d/a.vsd", "/d/b.vsd"});
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(grid())->text(QAccessible::Name),
              QStringLiteral("Drawings to print"));
    QAccessibleInterface* pages = QAccessible::queryAccessibleInterface(control("picPrintOptions"));
    EXPECT_EQ(pages->role(), QAccessible::Grouping);
    EXPECT_EQ(pages->text(QAccessible::Name), QStringLiteral("Pages to print"));

    dialogs.answerFiles({"/d/c.vsd"});
    QTest::mouseClick(button("cmdAdd"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), grid());
    EXPECT_EQ(grid()->currentListRow(), 3);

    QTest::keyClick(grid(), Qt::Key_Space, Qt::ControlModifier);  // select the focused row
    QTest::keyClick(window.get(), Qt::Key_U, Qt::AltModifier);    // Move Up, clicked animated
    EXPECT_TRUE(QTest::qWaitFor([&] { return paths()[1] == QLatin1String("/d/c.vsd"); }));
    EXPECT_EQ(QApplication::focusWidget(), grid());
    EXPECT_EQ(grid()->currentListRow(), 2);
    QAccessibleInterface* focused = QAccessible::queryAccessibleInterface(grid())->focusChild();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->text(QAccessible::Name), QStringLiteral("/d/c.vsd"));

    // The labels' mnemonics reach the controls they name; Delete on the keypad removes the
    // selected row as the main Delete key does.
    control<QCheckBox>("chkPrintSummaryPage")->setChecked(true);
    const std::pair<Qt::Key, const char*> mnemonics[] = {{Qt::Key_T, "cboSelectedPrinter"},
                                                         {Qt::Key_O, "txtCopies"},
                                                         {Qt::Key_E, "txtPrintSummaryHeader"}};
    for (const auto& [key, name] : mnemonics) {
        QTest::keyClick(window.get(), key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(name));
    }
    clickRow(1);
    QTest::keyClick(grid(), Qt::Key_Delete, Qt::KeypadModifier);
    EXPECT_EQ(paths(), (QStringList{"/d/c.vsd", "/d/b.vsd"}));
}

// The texts' Alt letters that occur more than once among `texts`.
QStringList repeatedMnemonics(const QStringList& texts) {
    std::set<QKeySequence> seen;
    QStringList repeated;
    for (const QString& text : texts) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty() && !seen.insert(key).second) repeated << text;
    }
    return repeated;
}

// Under a German locale start-up's translators give German menus, buttons and Qt's own
// standard buttons, and every menu and the window keep one control per Alt letter.
TEST_F(Frame, AGermanLocaleGivesGermanTextsWithUniqueAltLetters) {
    ASSERT_TRUE(InstallTranslations(*qApp, QLocale(QLocale::German, QLocale::Germany)));
    window = std::make_unique<frmPlenPrintBatch>();
    displayPaths({});
    QStringList titles;
    for (QAction* menu : window->menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&Hilfe"}));
    EXPECT_EQ(button("cmdPrint")->text(), QStringLiteral("Dru&cken"));
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).buttons()[0]->text(),
              QStringLiteral("Abbrechen"));

    QStringList windowTexts = titles;
    for (const QAbstractButton* control : window->findChildren<QAbstractButton*>())
        windowTexts << control->text();
    for (const QLabel* label : window->findChildren<QLabel*>()) windowTexts << label->text();
    EXPECT_EQ(repeatedMnemonics(windowTexts), QStringList());
    for (const QMenu* menu : window->findChildren<QMenu*>()) {
        QStringList tools;
        for (const QAction* tool : menu->actions()) tools << tool->text();
        EXPECT_EQ(repeatedMnemonics(tools), QStringList()) << menu->objectName().toStdString();
    }
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

}  // namespace
}  // namespace pbp
