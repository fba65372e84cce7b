#include <gtest/gtest.h>

#include "printing/run/print_command.h"
#include "tests/print_run/run_fixture.h"

namespace pbp::test {

TEST(PrintDocuments, EveryOutcomeGetsItsStatusAndTheRunGoesOn) {
    RunFixture run;
    run.addDrawing(QStringLiteral("/d/good.vsd"));
    run.view.add(QStringLiteral("/d/missing.vsd"));
    run.addDrawing(QStringLiteral("/d/jam.vsd")).printError = VbError(5, QStringLiteral("Jam"));
    run.addDrawing(QStringLiteral("/d/quiet.vsd")).printError = VbError(5, QString());
    run.addDrawing(QStringLiteral("/d/background.vsd")).pages = {ScriptedPage{1}, ScriptedPage{1}};
    run.addDrawing(QStringLiteral("/d/mixed.vsd")).pages = {ScriptedPage{}, ScriptedPage{},
                                                            ScriptedPage{1}};
    cmdPrint_Click(run.view);
    EXPECT_EQ(
        run.view.statuses,
        QStringList({"Sent to Printer",
                     "There was a problem attempting to open\r\n'/d/missing.vsd'\r\n"
                     "This file maybe in use by Visio.",
                     "Error Printing File. Error: Jam", "Error Printing File.",
                     "Not Printed! Drawing only contains background pages.", "Sent to Printer"}));
    EXPECT_FALSE(run.script.calls.contains("Close /d/missing.vsd alert=7"));
    EXPECT_TRUE(run.script.calls.contains("Close /d/jam.vsd alert=7"));
    EXPECT_TRUE(run.script.calls.contains("Close /d/background.vsd alert=7"));
    ASSERT_EQ(run.script.prints.size(), 2u);
    const PrintCall& mixed = run.script.prints[1];
    EXPECT_EQ(mixed.path, QStringLiteral("/d/mixed.vsd"));
    EXPECT_EQ(
        std::tuple(mixed.range, mixed.from, mixed.to, mixed.scale, mixed.printer, mixed.toFile,
                   mixed.outputFile, mixed.copies, mixed.collate, mixed.colorAsBlack),
        std::tuple(1, 1, 2, false, QStringLiteral("Office"), false, QString(), 1, false, false));
    EXPECT_TRUE(run.fake.messages.shown.empty());
}

TEST(PrintDocuments, FirstPageOnlyPrintsPageOneEvenWithoutForegroundPages) {
    RunFixture run;
    run.view.firstOnly = true;
    run.addDrawing(QStringLiteral("/d/background.vsd")).pages = {ScriptedPage{1}};
    run.addDrawing(QStringLiteral("/d/three.vsd")).pages.resize(3);
    cmdPrint_Click(run.view);
    EXPECT_EQ(run.view.statuses, QStringList({"Sent to Printer", "Sent to Printer"}));
    ASSERT_EQ(run.script.prints.size(), 2u);
    EXPECT_EQ(run.script.prints[0].to, 1);
    EXPECT_EQ(run.script.prints[1].to, 1);
}

TEST(PrintDocuments, LandscapeShapedPagesPrintTurnedWithoutChangingTheDrawing) {
    RunFixture run;
    auto& drawing = run.addDrawing(QStringLiteral("/d/pages.vsd"));
    drawing.pages = {{0, 11, 8.5, "0"}, {0, 11, 8.5, "1"}, {0, 11, 8.5, "2"},
                     {0, 8.5, 11, "1"}, {0, 10, 10, "0"},  {1, 17, 11, "0"}};
    cmdPrint_Click(run.view);
    ASSERT_EQ(run.script.prints.size(), 1u);
    EXPECT_EQ(run.script.prints[0].orientations, QStringList({"2", "2", "2", "1", "0", "2"}));
    EXPECT_EQ(run.script.calls.count(QStringLiteral("SetFormula /d/pages.vsd 2")), 3);
    EXPECT_EQ(drawing.pages[0].orientation, QStringLiteral("0"));
}

TEST(PrintDocuments, ErrorInTheOrientationStepEndsTheLoopAndCleansUp) {
    RunFixture run;
    run.addDrawing(QStringLiteral("/d/a.vsd"));
    run.addDrawing(QStringLiteral("/d/odd.vsd")).pages[0].orientation = QStringLiteral("GUARD(");
    run.addDrawing(QStringLiteral("/d/c.vsd"));
    run.view.statuses[2] = QStringLiteral("earlier status");
    cmdPrint_Click(run.view);
    EXPECT_EQ(run.view.statuses, QStringList({"Sent to Printer", "", "earlier status"}));
    ASSERT_EQ(run.fake.messages.shown.size(), 1u);
    EXPECT_TRUE(run.fake.messages.shown[0].text.startsWith(
        "Problem in frmPlenPrintBatch.PrintDocuments\r\nError Number: 13\r\n"));
    EXPECT_FALSE(run.script.calls.contains("Open /d/c.vsd"));
    EXPECT_FALSE(run.script.calls.contains("Close /d/odd.vsd alert=7"));
    EXPECT_EQ(run.status.back().text, QStringLiteral("Unload"));
    EXPECT_EQ(run.script.screenUpdating, -1);
    EXPECT_EQ(run.script.calls.last(), QStringLiteral("Quit"));
}

TEST(PrintDocuments, OptionsAreReadAfreshForEveryDrawing) {
    RunFixture run;
    for (const char* name : {"/d/a.vsd", "/d/b.vsd", "/d/c.vsd", "/d/d.vsd"})
        run.addDrawing(name).pages.resize(2);
    run.script.onOpen = [&](const QString& path) {
        if (path == QLatin1String("/d/b.vsd")) {
            run.view.copies = QStringLiteral("2.5");
            run.view.printer = QStringLiteral("Plotter");
        }
        if (path == QLatin1String("/d/c.vsd")) run.view.firstOnly = true;
        if (path == QLatin1String("/d/d.vsd")) run.view.copies = QStringLiteral("70000");
    };
    cmdPrint_Click(run.view);
    ASSERT_EQ(run.script.prints.size(), 3u);
    EXPECT_EQ(std::tuple(run.script.prints[0].copies, run.script.prints[0].to), std::tuple(1, 2));
    EXPECT_EQ(std::tuple(run.script.prints[1].copies, run.script.prints[1].printer),
              std::tuple(2, QStringLiteral("Plotter")));
    EXPECT_EQ(run.script.prints[2].to, 1);
    EXPECT_EQ(run.view.statuses[3],
              "Error Printing File. Error: The number of copies '70000' is not between 1 and "
              "32767");
}

TEST(PrintDocuments, StatusWindowShowsEachStepWithItsPercentage) {
    RunFixture run;
    for (int i = 1; i <= 8; ++i) run.addDrawing(QStringLiteral("/d/%1.vsd").arg(i));
    cmdPrint_Click(run.view);
    ASSERT_EQ(run.status.size(), 1u + 3 * 8 + 1);
    EXPECT_EQ(run.status.front().text, QStringLiteral("Display"));
    EXPECT_EQ(run.status[1].text, QStringLiteral("Opening /d/1.vsd (1 of 8)"));
    EXPECT_EQ(run.status[2].text, QStringLiteral("Printing file (1 of 8)"));
    EXPECT_EQ(run.status[3].text, QStringLiteral("Closing file (1 of 8)"));
    std::vector<qint32> percentages;
    for (size_t k = 1; k + 1 < run.status.size(); k += 3) {
        EXPECT_EQ(run.status[k].value, run.status[k + 2].value);
        percentages.push_back(run.status[k].value);
    }
    EXPECT_EQ(percentages, (std::vector<qint32>{12, 25, 38, 50, 62, 75, 88, 100}));
}

TEST(PrintDocuments, RunTakesMoreEntriesThanSixteenBitCountersHold) {
    RunFixture run;
    const int n = 10923;
    run.script.drawings[QStringLiteral("/d/a.vsd")];
    for (int i = 0; i < n; ++i) run.view.add(QStringLiteral("/d/a.vsd"));
    cmdPrint_Click(run.view);
    EXPECT_TRUE(run.fake.messages.shown.empty());
    EXPECT_EQ(run.script.prints.size(), static_cast<size_t>(n));
    EXPECT_EQ(run.view.statuses.count(QStringLiteral("Sent to Printer")), n);
    EXPECT_EQ(run.status[1].value, 0);
    EXPECT_EQ(run.status[3 * 5461 + 1].text, QStringLiteral("Opening /d/a.vsd (5462 of 10923)"));
    EXPECT_EQ(run.status[3 * 5461 + 1].value, 50);
    EXPECT_EQ(run.status[3 * n - 2].value, 100);
}

}  // namespace pbp::test
