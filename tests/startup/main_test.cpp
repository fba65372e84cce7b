#include <gtest/gtest.h>

#include <sys/stat.h>

#include "startup/mod_main.h"
#include "support/program_state.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

using test::fileWith;
using test::pathsOf;

// Runs Main and answers the paths Display was given.
QStringList startWith(const QString& commandLine) {
    int displayCalls = 0;
    QStringList paths;
    Main(commandLine, [&](FileCollection& files) {
        ++displayCalls;
        EXPECT_TRUE(files.has_value());
        paths = pathsOf(files);
    });
    EXPECT_EQ(displayCalls, 1);
    return paths;
}

TEST(Main, ReadsOptionsAndFilesIntoTheStateAndSetsTheHelpFile) {
    test::ScopedFakePlatform fake;
    fake.get().programFolder = QStringLiteral("/");
    EXPECT_TRUE(startWith(QStringLiteral("   ")).isEmpty());
    EXPECT_FALSE(g_bSilentMode);
    EXPECT_EQ(g_sHelpFile, QStringLiteral("/PlenPrint.hlp"));
    EXPECT_EQ(startWith(" /file=/home/silentbob/a b.vsd /printer=Office_Laser /silent "),
              QStringList{"/home/silentbob/a b.vsd"});
    EXPECT_TRUE(g_bSilentMode);
    EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("Office_Laser"));
}

TEST(Main, JobFileWinsOverFileOptionsAndFallsBackToABatchList) {
    test::ScopedFakePlatform fake;
    const QString job = fileWith(fake, "job one.xml",
                                 "<PlenBatchPrintJob><PlenBatchPrintItem Filename=\"/j.vsd\" "
                                 "Delete=\"true\"/></PlenBatchPrintJob>");
    EXPECT_EQ(startWith("/batchjob=" + job + " /file=/ignored.vsd"),
              QStringList{"/j.vsd [delete]"});
    const QString list = fileWith(fake, "list.csv", "/a.vsd, /b.vsd");
    EXPECT_EQ(startWith("/batchjob=" + list), (QStringList{"/a.vsd", "/b.vsd"}));
    EXPECT_TRUE(startWith("/batchjob=" + fake.tempPath("gone.xml")).isEmpty());
    EXPECT_TRUE(fake.messages.shown.empty());

    // A job that is a pipe is reported by both readers instead of blocking start-up.
    ASSERT_EQ(::mkfifo(fake.tempPath("job.pipe").toLocal8Bit().constData(), 0600), 0);
    EXPECT_TRUE(startWith("/batchjob=" + fake.tempPath("job.pipe")).isEmpty());
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(
        fake.messages.shown[0].text.startsWith("Problem in modMain.GetFilesFromXMLDataFile"));
}

}  // namespace
}  // namespace pbp
