#include <gtest/gtest.h>

#include "printing/run/print_command.h"
#include "printing/run/visio_session.h"
#include "support/program_state.h"
#include "tests/print_run/run_fixture.h"

namespace pbp::test {

namespace {
const std::vector<bool> kDisabledThenEnabled{false, true};
}

TEST(PrintCommand, ReadinessCheckStopsBeforeTheEngineAndReenablesTheButtons) {
    struct Case {
        int entries;
        QString copies;
        QString message;
    };
    for (const Case& c : {Case{0, "1", "There are no documents selected to print."},
                          Case{1, "0", "There must be at least one copy to print."},
                          Case{1, "", "There must be at least one copy to print."},
                          Case{1, "abc", "There must be at least one copy to print."}}) {
        RunFixture run;
        g_sAppTitle = QStringLiteral("PlenBatchPrint");
        for (int i = 0; i < c.entries; ++i) run.addDrawing(QStringLiteral("/d/a.vsd"));
        run.view.copies = c.copies;
        cmdPrint_Click(run.view);
        ASSERT_EQ(run.fake.messages.shown.size(), 1u) << c.copies.toStdString();
        EXPECT_EQ(run.fake.messages.shown[0].text, c.message);
        EXPECT_EQ(run.fake.messages.shown[0].title, QStringLiteral("PlenBatchPrint"));
        EXPECT_EQ(run.fake.messages.shown[0].icon, MessageIcon::Information);
        EXPECT_TRUE(run.script.programIds.isEmpty());
        EXPECT_EQ(run.view.buttonStates, kDisabledThenEnabled);
    }
}

TEST(PrintCommand, EngineThatCannotStartGivesTheMessageAndPrintsNothing) {
    RunFixture run;
    run.addDrawing(QStringLiteral("/d/a.vsd"));
    run.view.summary = true;
    run.view.copies = QStringLiteral(" 2 copies");
    run.script.failToStart = true;
    EXPECT_EQ(RunPrintCommand(run.view), PrintCommandOutcome::NotStarted);
    ASSERT_EQ(run.fake.messages.shown.size(), 1u);
    EXPECT_EQ(run.fake.messages.shown[0].text,
              "PlenPrint was unable to start Visio.  Contact your system administrator.");
    EXPECT_EQ(run.fake.messages.shown[0].title, QStringLiteral("PlenPrint"));
    EXPECT_EQ(run.fake.messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(run.script.programIds, QStringList{"Visio.InvisibleApp"});
    EXPECT_TRUE(run.printers.jobs.empty());
    EXPECT_TRUE(run.status.empty());
    EXPECT_EQ(run.view.buttonStates, kDisabledThenEnabled);
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
    EXPECT_EQ(RunPrintCommand(run.view), PrintCommandOutcome::Ran);
    EXPECT_EQ(screenUpdatingDuringRun, 0);
    EXPECT_EQ(warningsDuringRun, 0);
    EXPECT_EQ(run.script.screenUpdating, -1);
    EXPECT_EQ(run.script.showFileOpenWarnings, 1);
    EXPECT_EQ(run.script.alertResponse, 3);
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
