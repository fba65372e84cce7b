#include <gtest/gtest.h>

#include "printing/run/print_command.h"
#include "support/program_state.h"
#include "tests/print_run/run_fixture.h"

namespace pbp::test {

TEST(SummaryPage, ListsTheBatchUnderItsHeaderAsTheFirstJob) {
    RunFixture run;
    run.view.summary = true;
    g_sSelectedPrinter = QStringLiteral("Plotter");
    run.addDrawing(QStringLiteral("/d/first.vsd"));
    run.view.add(QStringLiteral("/d/missing drawing.vsd"));
    int opensBeforeSubmit = -1;
    run.printers.onSubmit = [&] { opensBeforeSubmit = run.script.calls.size(); };
    cmdPrint_Click(run.view);
    ASSERT_EQ(run.printers.jobs.size(), 1u);
    EXPECT_EQ(opensBeforeSubmit, 0);
    EXPECT_EQ(run.printers.jobs[0].job.printerName, QStringLiteral("Plotter"));
    EXPECT_EQ(run.printers.jobs[0].job.copies, 1);
    const QStringList lines = run.printers.jobs[0].text.split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0].trimmed(), QStringLiteral("Batch of today"));
    EXPECT_EQ(lines[1].trimmed() + lines[2].trimmed(), QString());
    EXPECT_EQ(lines[3].trimmed(), QStringLiteral("/d/first.vsd"));
    EXPECT_EQ(lines[4].trimmed(), QStringLiteral("/d/missing drawing.vsd"));
}

TEST(SummaryPage, PrinterNameMustMatchExactlyElseTheDefaultPrinterIsUsed) {
    RunFixture run;
    run.view.summary = true;
    run.addDrawing(QStringLiteral("/d/a.vsd"));
    g_sSelectedPrinter = QStringLiteral("plotter");
    cmdPrint_Click(run.view);
    ASSERT_EQ(run.printers.jobs.size(), 1u);
    EXPECT_EQ(run.printers.jobs[0].job.printerName, QStringLiteral("Office"));
    EXPECT_EQ(run.script.prints.at(0).printer, QStringLiteral("Office"));
}

TEST(SummaryPage, LongBatchContinuesOnMorePages) {
    RunFixture run;
    run.view.summary = true;
    run.script.drawings[QStringLiteral("/d/a.vsd")];
    for (int i = 0; i < 200; ++i) run.view.add(QStringLiteral("/d/a.vsd"));
    cmdPrint_Click(run.view);
    ASSERT_EQ(run.printers.jobs.size(), 1u);
    EXPECT_GE(run.printers.jobs[0].pages, 3);
    EXPECT_EQ(run.printers.jobs[0].text.count(QStringLiteral("/d/a.vsd")), 200);
}

TEST(SummaryPage, FailureIsSkippedSilentlyAndTheDrawingsStillPrint) {
    for (const bool noPrinterAtAll : {false, true}) {
        RunFixture run;
        run.view.summary = true;
        run.printers.refuse = !noPrinterAtAll;
        if (noPrinterAtAll) run.printers.defaultName.clear();
        run.addDrawing(QStringLiteral("/d/a.vsd"));
        cmdPrint_Click(run.view);
        EXPECT_TRUE(run.printers.jobs.empty());
        EXPECT_TRUE(run.fake.messages.shown.empty());
        EXPECT_EQ(run.view.statuses, QStringList{"Sent to Printer"});
    }
}

}  // namespace pbp::test
