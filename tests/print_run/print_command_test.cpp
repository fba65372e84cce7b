#include <gtest/gtest.h>

#include "printing/run/print_command.h"
#include "printing/run/visio_session.h"
#include "support/program_state.h"
#include "tests/print_run/run_fixture.h"

namespace pbp::test {

namespace {
const std::vector<bool> kDisabledThenEnabled{false, true};
}

// No entries, no copies or an engine that cannot start: one message, nothing printed, not even
// the summary page, and the buttons come back.
TEST(PrintCommand, ARunThatCannotStartPrintsNothing) {
    for (const auto& [entries, copies, engineFails, message] :
         {std::tuple(0, "1", false, "There are no documents selected to print."),
          std::tuple(1, "0", false, "There must be at least one copy to print."),
          std::tuple(1, "abc", false, "There must be at least one copy to print."),
          std::tuple(1, " 2 copies", true, "PlenPrint was unable to start Visio.")}) {
        RunFixture run;
        for (int i = 0; i < entries; ++i) run.addDrawing(QStringLiteral("/d/a.vsd"));
        run.view.copies = QString::fromLatin1(copies);
        run.view.summary = true;
        run.script.failToStart = engineFails;
        EXPECT_FALSE(RunPrintCommand(run.view).started) << copies;
        ASSERT_EQ(run.fake.messages.shown.size(), 1u);
        EXPECT_TRUE(run.fake.messages.shown[0].text.startsWith(QString::fromLatin1(message)));
        EXPECT_EQ(run.script.programIds.size(), engineFails ? 1 : 0);
        EXPECT_TRUE(run.printers.jobs.empty());
        EXPECT_TRUE(run.status.empty());
        EXPECT_EQ(run.view.buttonStates, kDisabledThenEnabled);
    }
}

TEST(PrintCommand, RunSwitchesEngineSettingsOffAndRestoresThemThenQuits) {
    RunFixture run;
    run.addDrawing(QStringLiteral("/d/a.vsd"));
    run.addDrawing(QStringLiteral("/d/b.vsd"));
    qint16 screenUpdatingDuringRun = 1, warningsDuringRun = 1;
    run.script.onOpen = [&](const QString&) {
        screenUpdatingDuringRun = run.script.screenUpdating;
        warningsDuringRun = run.script.showFileOpenWarnings;
    };
    EXPECT_TRUE(RunPrintCommand(run.view).started);
    EXPECT_EQ(std::tuple(screenUpdatingDuringRun, warningsDuringRun), std::tuple(0, 0));
    EXPECT_EQ(std::tuple(run.script.screenUpdating, run.script.showFileOpenWarnings,
                         run.script.alertResponse),
              std::tuple(-1, 1, 3));
    EXPECT_EQ(run.script.calls, QStringList({"Open /d/a.vsd", "Close /d/a.vsd alert=7",
                                             "Open /d/b.vsd", "Close /d/b.vsd alert=7", "Quit"}));
    EXPECT_EQ(g_oVisioApp, nullptr);
    EXPECT_EQ(run.view.buttonStates, kDisabledThenEnabled);
    EXPECT_TRUE(run.fake.messages.shown.empty());
}

TEST(PrintCommand, FailuresInTheClosingStepsAreReportedOnceEach) {
    RunFixture run;
    run.addDrawing(QStringLiteral("/d/a.vsd"));
    run.script.failToQuit = true;
    run.script.failToRestoreSettings = true;
    cmdPrint_Click(run.view);
    ASSERT_EQ(run.fake.messages.shown.size(), 2u);
    EXPECT_TRUE(run.fake.messages.shown[0].text.startsWith(
        "Problem in frmPlenPrintBatch.PrintDocuments\r\nError Number: -1"));
    EXPECT_TRUE(
        run.fake.messages.shown[1].text.startsWith("Problem in frmPlenPrintBatch.cmdPrint_Click"));
    EXPECT_EQ(run.script.calls.count(QStringLiteral("Quit")), 1);
    EXPECT_EQ(run.view.statuses, QStringList{"Sent to Printer"});
    EXPECT_EQ(g_oVisioApp, nullptr);
    EXPECT_EQ(run.view.buttonStates, kDisabledThenEnabled);
}

}  // namespace pbp::test
