#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "printing/run/drawing_limits.h"
#include "printing/run/job_deletions.h"
#include "printing/run/print_command.h"
#include "printing/run/silent_run.h"
#include "printing/run/summary_page.h"
#include "printing/run/visio_session.h"
#include "support/mod_registry_api.h"
#include "tests/print_run/run_fixture.h"

namespace pbp::test {

namespace {
// The engine's record of a print of the first page on Office, once, as the run asks for it.
QString printed(const char* path) {
    return QString::fromLatin1(path) + " 1 1-1 scale=0 Office toFile=0 '' x1 collate=0 black=0";
}
const std::vector<bool> kDisabledThenEnabled{false, true};
}  // namespace

// No entries, no copies or an engine that cannot start: one message, nothing printed, not even
// the summary page, and the buttons come back.
TEST(PrintCommand, ARunThatCannotStartPrintsNothing) {
    for (const auto& [entries, copies, engineFails, message] :
         {std::tuple(0, "1", false, "There are no documents selected to print."),
          std::tuple(1, "0", false, "There must be at least one copy to print."),
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

// A failing cell, print or close fails or leaves its own entry, never the run, and every drawing
// that opened is closed without saving. Each outcome's status and report line is proven end to
// end by the silent and the window runs; an error without a description is not.
TEST(PrintDocuments, EveryStepOfAnEntryFailsThatEntryAlone) {
    RunFixture run;
    run.addDrawing(QStringLiteral("/d/cells.vsd")).cellError = VbError(-1, QStringLiteral("gone"));
    run.addDrawing(QStringLiteral("/d/quiet.vsd")).printError = VbError(5, QString());
    run.view.add(QStringLiteral("/d/missing.vsd"));
    run.addDrawing(QStringLiteral("/d/background.vsd")).pages = {ScriptedPage{1}};
    run.addDrawing(QStringLiteral("/d/close.vsd")).closeError = VbError(-1, QStringLiteral("busy"));
    run.addDrawing(QStringLiteral("/d/mixed.vsd")).pages = {ScriptedPage{}, ScriptedPage{1}};
    const PrintCommandResult result = RunPrintCommand(run.view);
    const QStringList& status = run.view.statuses;
    EXPECT_EQ(QStringList({status[0], status[1], status[4], status[5]}),
              QStringList({"Error Printing File. Error: gone", "Error Printing File.",
                           "Sent to Printer", "Sent to Printer"}));
    EXPECT_EQ(run.script.prints, QStringList({printed("/d/close.vsd"), printed("/d/mixed.vsd")}));
    EXPECT_EQ(ExitCode(true, result.outcomes), 1);
    EXPECT_TRUE(run.fake.messages.shown.empty());
    EXPECT_EQ(run.script.calls.filter(QStringLiteral("Close ")).size(), 5);  // all but missing
    EXPECT_EQ(run.script.calls.count(QStringLiteral("Close /d/cells.vsd alert=7")), 1);
    EXPECT_EQ(run.script.alertResponse, 3);
}

// Each entry shows opening, printing and closing at its rounded share of the run (halves to
// even), also past what 16-bit counters hold.
TEST(PrintDocuments, StatusWindowShowsEachStepWithItsRoundedPercentage) {
    for (const int n : {8, 10923}) {
        RunFixture run;
        run.script.drawings[QStringLiteral("/d/a.vsd")];
        for (int i = 0; i < n; ++i) run.view.add(QStringLiteral("/d/a.vsd"));
        cmdPrint_Click(run.view);
        EXPECT_TRUE(run.fake.messages.shown.empty());
        EXPECT_EQ(run.script.prints.size(), n);
        EXPECT_EQ(run.view.statuses.count(QStringLiteral("Sent to Printer")), n);
        ASSERT_EQ(run.status.size(), 3u * n + 2);
        std::vector<qint32> percentages;
        for (size_t k = 1; k + 1 < run.status.size(); k += 3) {
            ASSERT_EQ(run.status[k].second, run.status[k + 2].second);
            percentages.push_back(run.status[k].second);
        }
        EXPECT_EQ(run.status[1].first, QStringLiteral("Opening /d/a.vsd (1 of %1)").arg(n));
        if (n == 8)
            EXPECT_EQ(percentages, (std::vector<qint32>{12, 25, 38, 50, 62, 75, 88, 100}));
        else
            EXPECT_EQ(std::tuple(percentages[0], percentages[5461], percentages.back()),
                      std::tuple(0, 50, 100));
    }
}

// The batch's layout; that a long one continues on more pages is proven below. A printer named
// but for letter case, no printer or a refused job leaves it out, silently, and the drawings
// still print.
TEST(SummaryPage, ListsTheBatchUnderItsHeaderBeforeAnyDrawingOnTheExactlyNamedPrinterElseNone) {
    for (const auto& [selected, refusal, used] :
         {std::tuple("Plotter", "", "Plotter"), std::tuple("plotter", "", ""),
          std::tuple("", "", ""), std::tuple("Plotter", "refused", "")}) {
        RunFixture run;
        run.view.summary = true;
        run.view.printer = QString::fromLatin1(selected);
        run.printers.refusal = QString::fromLatin1(refusal);
        run.addDrawing(QStringLiteral("/d/first.vsd"));
        run.view.add(QStringLiteral("/d/missing drawing.vsd"));
        qsizetype callsBeforeSubmit = -1;
        run.printers.onSubmit = [&] { callsBeforeSubmit = run.script.calls.size(); };
        cmdPrint_Click(run.view);
        EXPECT_EQ(run.view.statuses[0], QStringLiteral("Sent to Printer"));
        EXPECT_TRUE(run.fake.messages.shown.empty());
        ASSERT_EQ(run.printers.jobs.size(), *used ? 1u : 0u);
        if (!*used) continue;
        EXPECT_EQ(callsBeforeSubmit, 0);
        const printers::PrintJob& job = run.printers.jobs[0].job;
        EXPECT_EQ(std::pair(job.printerName, job.copies), std::pair(QString::fromLatin1(used), 1));
        QStringList lines = textOf(job).split('\n').mid(0, 5);
        for (QString& line : lines) line = line.trimmed();
        EXPECT_EQ(lines, QStringList(
                             {"Batch of today", "", "", "/d/first.vsd", "/d/missing drawing.vsd"}));
    }
}

// A long header and 2,000 long paths wrap inside margins of at least 15 mm instead of running off
// the paper, every character shows, and each page says which of how many it is.
TEST(SummaryPage, LongHeaderAndPathsWrapInsideTheMarginsOnNumberedPages) {
    RunFixture run;
    run.view.header = QStringLiteral("Quarterly plans of the north wing, ").repeated(8);
    QString expected = run.view.header;
    for (int i = 0; i < 2000; ++i) {
        const QString odd = QStringLiteral("/srv/plans/%1/").arg(i).repeated(14) + "sheet.vsdx";
        const QString even = "/home/someone/North wing " + QString::number(i) +
                             "/Electrical and lighting/ground floor plan.vsd";
        const QString path = i % 2 ? odd : even.repeated(3);
        run.view.add(path);
        expected += path;
    }
    PrintSummaryPage(run.view);
    ASSERT_EQ(run.printers.jobs.size(), 1u);
    const QString pdf = run.printers.jobs[0].keptPdf;
    const int pages = pdfPageCount(pdf);
    ASSERT_GT(pages, 26);
    QString text = textOf(run.printers.jobs[0].job);
    for (int page = 1; page <= pages; ++page) {
        const QString number = QStringLiteral("Page %1 of %2").arg(page).arg(pages);
        ASSERT_EQ(text.count(number), 1) << number.toStdString();
        text.remove(number);
    }
    const auto squeezed = [](QString s) { return s.remove(QRegularExpression("\\s")); };
    EXPECT_EQ(squeezed(text), squeezed(expected));

    // Every word lies at least 15 mm inside an A4 sheet (595 by 842 points).
    const QString boxes = toolOutput("pdftotext", {"-bbox", "-l", "3", pdf, "-"});
    const double inset = 15 / 25.4 * 72;
    const QRegularExpression word(
        "xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\"");
    int words = 0;
    for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
        const auto box = it.next();
        EXPECT_GE(box.captured(1).toDouble(), inset);
        EXPECT_GE(box.captured(2).toDouble(), inset);
        EXPECT_LE(box.captured(3).toDouble(), 595 - inset);
        EXPECT_LE(box.captured(4).toDouble(), 842 - inset);
    }
    EXPECT_GT(words, 100);
}

// The run's own limits, then the environment, then the settings store, then the defaults;
// values out of range count as unset.
TEST(DrawingLimits, ComeFromTheRunTheEnvironmentTheSettingsStoreElseTheDefaults) {
    ScopedFakePlatform fake;
    for (const char* variable :
         {"PLENBATCHPRINT_WORKER", "PLENBATCHPRINT_TIME_LIMIT", "PLENBATCHPRINT_MEMORY_LIMIT"})
        qunsetenv(variable);
    const auto limits = [](const DrawingLimits& run = {}) {
        const visio::WorkerSettings settings = DrawingWorkerSettings(QStringLiteral("/opt"), run);
        return QStringLiteral("%1 s, %2 MiB")
            .arg(settings.timeLimit.count())
            .arg(settings.memoryLimitMiB);
    };
    EXPECT_EQ(limits(), "60 s, 2048 MiB");
    AddRegistryKey(HKEY_CURRENT_USER, kSettingsKey);
    WriteRegistryString(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("DrawingTimeLimit"), "90");
    WriteRegistryString(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("DrawingMemoryLimit"),
                        "10");
    EXPECT_EQ(limits(), "90 s, 2048 MiB");
    qputenv("PLENBATCHPRINT_TIME_LIMIT", "30");
    qputenv("PLENBATCHPRINT_MEMORY_LIMIT", "256");
    EXPECT_EQ(limits({.timeLimitSeconds = 5}), "5 s, 256 MiB");
    qunsetenv("PLENBATCHPRINT_TIME_LIMIT");
    qunsetenv("PLENBATCHPRINT_MEMORY_LIMIT");
}

// Deleting by name deleted the wrong thing: a drawing re-saved after it was printed, a job file
// whose repeated entry failed once.
TEST(JobDeletions, DeleteOnlyUnchangedFilesWhoseEveryEntryWasSent) {
    QTemporaryDir dir;
    const auto file = [&](const QString& name, const QByteArray& bytes) {
        return writeFile(dir.filePath(name), bytes);
    };
    const auto sent = [](const QString& path, EntryResult result = EntryResult::Sent) {
        return EntryOutcome{.result = result, .path = path, .identity = fileIdentity(path)};
    };
    const QString a = file("a.vsd", "a"), b = file("b.vsd", "b");
    const auto job = [&](const QString& name, std::vector<FileItem> items) {
        const QString path = file(name, "<job/>");
        return std::pair(path, JobDeletions(std::move(items), path, fileIdentity(path)));
    };

    auto [twice, twiceDeletions] = job("twice.xml", {cPrintFile{a, true}, cPrintFile{a, true}});
    twiceDeletions.afterRun({sent(a), sent(a, EntryResult::PrintFailed)});
    twiceDeletions.deleteSentMarkedDrawings();
    EXPECT_TRUE(QFile::exists(twice));
    EXPECT_TRUE(QFile::exists(a));

    auto [done, doneDeletions] = job("done.xml", {cPrintFile{a, true}, cPrintFile{b, true}});
    doneDeletions.afterRun({sent(a), sent(b)});
    file("b.vsd", "b re-saved");
    doneDeletions.deleteSentMarkedDrawings();
    EXPECT_FALSE(QFile::exists(done));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_TRUE(QFile::exists(b));
}

// A silent run creates no widget at any time (the program runs it under a QGuiApplication,
// where a widget would abort it), summary page included.
TEST(SilentRun, PrintsTheRequestWithoutAnyWidget) {
    RunFixture run;
    run.script.drawings[QStringLiteral("/d/a.vsd")];
    ASSERT_TRUE(QApplication::allWidgets().isEmpty());
    qsizetype widgetsAtSubmit = -1;
    run.printers.onSubmit = [&] { widgetsAtSubmit = QApplication::allWidgets().size(); };
    const RunRequest request{.silent = true,
                             .files = std::vector<FileItem>{QStringLiteral("/d/a.vsd")},
                             .summaryHeader = QString()};
    EXPECT_EQ(RunSilently(request), 0);
    EXPECT_EQ(widgetsAtSubmit, 0);
    EXPECT_TRUE(QApplication::allWidgets().isEmpty());
    EXPECT_EQ(run.printers.jobs.size(), 1u);
    EXPECT_EQ(run.script.prints.size(), 1);
}

}  // namespace pbp::test
