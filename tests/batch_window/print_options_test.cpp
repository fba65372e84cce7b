#include "tests/batch_window/window_fixture.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

using PrintOptions = test::WindowTest;
using test::savedPrinter;

TEST_F(PrintOptions, PrintersAreSortedAndTheDefaultIsChosenOnTheFirstStart) {
    printers.defaultName = QStringLiteral("alpha");
    displayPaths({"/d/a.vsd"});
    EXPECT_EQ(printerBox()->itemText(1), QStringLiteral("Zeta"));  // sorted, exact comparison
    EXPECT_EQ(window->printerText(), QStringLiteral("alpha"));
    // First start: the value is created holding " ", which selects nothing.
    EXPECT_EQ(savedPrinter(), QStringLiteral(" "));
}

// A damaged settings file is reported once, kept beside, and the window goes on with defaults.
TEST_F(PrintOptions, DamagedSettingsAreReportedOnceAndKeptBeside) {
    const QString file = fake.get().registryFile;
    test::writeFile(file, "{ not json");
    displayPaths({"/d/a.vsd"});
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(file + ".damaged"));
    EXPECT_EQ(test::fileBytes(file + ".damaged"), QByteArray("{ not json"));
    EXPECT_EQ(savedPrinter(), QStringLiteral(" "));  // a sound file with defaults again

    frmPlenPrintBatch second;
    second.Display({});
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

// An asked-for printer that is installed beats the saved choice, which beats the default. An
// asked-for name that differs in letter case only is another printer: with it (or with nothing
// installed) nothing is selected and Print stays disabled.
TEST_F(PrintOptions, AskedThenSavedPrinterIsChosenWhenInstalled) {
    displayPaths({});  // creates the settings key
    const QStringList all = printers.names;
    for (const auto& [saved, asked, installed, shown] :
         {std::tuple(" ", "zeta", all, ""), std::tuple(" ", "zeta", QStringList(), ""),
          std::tuple("Zeta", "alpha", all, "alpha"), std::tuple("Zeta", "", all, "Zeta"),
          std::tuple("Zeta", "alpha", QStringList{"alpha"}, "alpha")}) {
        WriteRegistryString(HKEY_CURRENT_USER, test::kSettingsKey, QStringLiteral("DefaultPrinter"),
                            QString::fromLatin1(saved));
        printers.names = installed;
        frmPlenPrintBatch fresh;
        fresh.Display({.files = std::vector<FileItem>{QStringLiteral("/d/a.vsd")},
                       .printer = QString::fromLatin1(asked)});
        EXPECT_EQ(fresh.printerText(), QString::fromLatin1(shown)) << saved << asked;
        fresh.RefreshPrintState();
        EXPECT_EQ(fresh.findChild<QWidget*>(QStringLiteral("cmdPrint"))->isEnabled(), *shown != 0);
    }
}

TEST_F(PrintOptions, CopiesBoxTakesThreeDigitsAndPrintNeedsANumberAboveZero) {
    displayPaths({"/d/a.vsd"});
    auto* copies = control<QLineEdit>("txtCopies");
    copies->setFocus();
    copies->end(false);
    QTest::keyClicks(copies, QStringLiteral("2x-57"));  // letters, signs and a fourth digit refused
    EXPECT_EQ(copies->text(), QStringLiteral("125"));
    EXPECT_TRUE(button("cmdPrint")->isEnabled());
    for (int i = 0; i < 3; ++i) QTest::keyClick(copies, Qt::Key_Backspace);
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
    QTest::keyClicks(copies, QStringLiteral("000"));
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
    // Pasted text is not filtered; what is not a 16-bit number leaves Print disabled.
    for (const auto& [pasted, enabled] : {std::pair("1e9", false), std::pair(" 4 ", true)}) {
        copies->selectAll();
        copies->insert(QString::fromLatin1(pasted));
        EXPECT_EQ(button("cmdPrint")->isEnabled(), enabled) << pasted;
    }
}

}  // namespace
}  // namespace pbp
