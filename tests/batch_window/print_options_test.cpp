#include <QCheckBox>

#include "support/mod_registry_api.h"
#include "support/program_state.h"
#include "tests/batch_window/window_fixture.h"

namespace pbp {
namespace {

using PrintOptions = test::WindowTest;

const QString kKey = QStringLiteral("Software\\Corvane\\PlenTools_2003\\PlenBatchPrint 2003");

QString savedPrinter() {
    return ReadRegistryString(HKEY_CURRENT_USER, kKey, QStringLiteral("DefaultPrinter"));
}

TEST_F(PrintOptions, PrintersAreSortedAndTheFirstChoiceFollowsItsPrecedence) {
    printers.defaultName = QStringLiteral("alpha");
    displayPaths({"/d/a.vsd"});
    EXPECT_EQ(printerBox()->itemText(1), QStringLiteral("Zeta"));  // sorted, exact comparison
    EXPECT_EQ(window->printerText(), QStringLiteral("alpha"));
    EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("alpha"));
    // First start: the value is created holding " ", which selects nothing.
    EXPECT_EQ(savedPrinter(), QStringLiteral(" "));
}

// A name that differs in letter case only is another printer; with nothing selected (or
// nothing installed) the asked-for name is kept and Print stays disabled.
TEST_F(PrintOptions, AnAbsentPrinterAskedForSelectsNothingAndKeepsTheName) {
    for (const QStringList& installed : {printers.names, QStringList()}) {
        printers.names = installed;
        g_sSelectedPrinter = QStringLiteral("zeta");
        frmPlenPrintBatch fresh;
        FileCollection one = std::vector<FileItem>{QStringLiteral("/d/a.vsd")};
        fresh.Display(one);
        EXPECT_EQ(fresh.printerText(), QString());
        EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("zeta"));
        fresh.RefreshPrintState();
        EXPECT_FALSE(fresh.findChild<QWidget*>(QStringLiteral("cmdPrint"))->isEnabled());
    }
}

TEST_F(PrintOptions, SavedPrinterWinsOnTheNextStartUnlessUninstalled) {
    displayPaths({"/d/a.vsd"});
    printerBox()->setCurrentIndex(1);
    window->close();
    EXPECT_EQ(savedPrinter(), QStringLiteral("Zeta"));

    g_sSelectedPrinter = QStringLiteral("alpha");
    frmPlenPrintBatch second;
    FileCollection none;
    second.Display(none);
    EXPECT_EQ(second.printerText(), QStringLiteral("Zeta"));
    EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("Zeta"));

    printers.names.removeAll(QStringLiteral("Zeta"));
    g_sSelectedPrinter = QStringLiteral("alpha");
    frmPlenPrintBatch third;
    third.Display(none);
    EXPECT_EQ(third.printerText(), QStringLiteral("alpha"));
}

TEST_F(PrintOptions, CopiesBoxTakesDigitsAndBackspaceOnly) {
    displayPaths({"/d/a.vsd"});
    auto* copies = control<QLineEdit>("txtCopies");
    copies->setFocus();
    copies->end(false);
    QTest::keyClicks(copies, QStringLiteral("2x-5"));
    EXPECT_EQ(copies->text(), QStringLiteral("125"));
    QTest::keyClick(copies, Qt::Key_7);  // a fourth character is refused
    EXPECT_EQ(copies->text(), QStringLiteral("125"));
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
    for (int i = 0; i < 3; ++i) QTest::keyClick(copies, Qt::Key_Backspace);
    EXPECT_EQ(copies->text(), QString());
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
    QTest::keyClicks(copies, QStringLiteral("000"));
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
    // Pasted text is not filtered; what is not a 16-bit number leaves Print disabled.
    copies->selectAll();
    copies->insert(QStringLiteral("1e9"));
    EXPECT_EQ(copies->text(), QStringLiteral("1e9"));
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
    copies->selectAll();
    copies->insert(QStringLiteral(" 4 "));
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
}

TEST_F(PrintOptions, SummaryBoxEnablesTheHeaderAndKeepsItsText) {
    displayPaths({});
    auto* summary = control<QCheckBox>("chkPrintSummaryPage");
    auto* header = control<QLineEdit>("txtPrintSummaryHeader");
    QTest::mouseClick(summary, Qt::LeftButton);
    EXPECT_TRUE(header->isEnabled());
    header->setText(QStringLiteral("Job 7"));
    QTest::mouseClick(summary, Qt::LeftButton);
    EXPECT_FALSE(header->isEnabled());
    EXPECT_EQ(window->summaryHeader(), QStringLiteral("Job 7"));
}

}  // namespace
}  // namespace pbp
