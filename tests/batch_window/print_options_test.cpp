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
    ASSERT_EQ(printerBox()->count(), 3);
    EXPECT_EQ(printerBox()->itemText(0), printers::kPdfPrinterName);
    EXPECT_EQ(printerBox()->itemText(1), QStringLiteral("Zeta"));
    EXPECT_EQ(printerBox()->itemText(2), QStringLiteral("alpha"));
    EXPECT_EQ(window->printerText(), QStringLiteral("alpha"));
    EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("alpha"));
    // First start: the value is created holding " ", which selects nothing.
    EXPECT_EQ(savedPrinter(), QStringLiteral(" "));
}

TEST_F(PrintOptions, NoDefaultPrinterSelectsTheFirstEntry) {
    displayPaths({"/d/a.vsd"});
    EXPECT_EQ(printerBox()->currentIndex(), 0);
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
}

TEST_F(PrintOptions, AnAbsentPrinterAskedForSelectsNothingAndKeepsTheName) {
    g_sSelectedPrinter = QStringLiteral("zeta");  // differs from "Zeta" in case only
    printers.defaultName = QStringLiteral("alpha");
    displayPaths({"/d/a.vsd"});
    EXPECT_EQ(printerBox()->currentIndex(), -1);
    EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("zeta"));
    window->RefreshPrintState();
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
}

TEST_F(PrintOptions, NoPrinterInstalledLeavesPrintDisabled) {
    printers.names.clear();
    g_sSelectedPrinter = QStringLiteral("Zeta");
    displayPaths({"/d/a.vsd"});
    EXPECT_EQ(printerBox()->count(), 0);
    EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("Zeta"));
    QTest::keyClick(control<QLineEdit>("txtCopies"), Qt::Key_2);
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
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
}

TEST_F(PrintOptions, PastedCopiesAreNotFilteredAndNonNumbersKeepPrintDisabled) {
    displayPaths({"/d/a.vsd"});
    auto* copies = control<QLineEdit>("txtCopies");
    for (const char* text : {"abc", "1e9", "-1"}) {
        copies->selectAll();
        copies->insert(QLatin1String(text));
        EXPECT_EQ(copies->text(), QLatin1String(text));
        EXPECT_FALSE(button("cmdPrint")->isEnabled()) << text;
    }
    copies->selectAll();
    copies->insert(QStringLiteral(" 4 "));
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(PrintOptions, SummaryBoxEnablesTheHeaderAndKeepsItsText) {
    displayPaths({});
    auto* summary = control<QCheckBox>("chkPrintSummaryPage");
    auto* header = control<QLineEdit>("txtPrintSummaryHeader");
    EXPECT_FALSE(header->isEnabled());
    EXPECT_EQ(header->text(), QStringLiteral("PlenPrint Batch Job Summary"));
    QTest::mouseClick(summary, Qt::LeftButton);
    EXPECT_TRUE(header->isEnabled());
    EXPECT_TRUE(window->summaryPageChecked());
    header->setText(QStringLiteral("Job 7"));
    QTest::mouseClick(summary, Qt::LeftButton);
    EXPECT_FALSE(header->isEnabled());
    EXPECT_EQ(window->summaryHeader(), QStringLiteral("Job 7"));
    EXPECT_FALSE(window->firstPageOnly());
    QTest::mouseClick(button("optPrintPageOption_0"), Qt::LeftButton);
    EXPECT_TRUE(window->firstPageOnly());
}

}  // namespace
}  // namespace pbp
