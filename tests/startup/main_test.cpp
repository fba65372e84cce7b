#include <gtest/gtest.h>

#include <QFile>

#include "startup/mod_main.h"
#include "support/program_state.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

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

QString fileWith(test::ScopedFakePlatform& fake, const QString& name, const QByteArray& bytes) {
    QFile file(fake.tempPath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

TEST(Main, BlankCommandLineStartsInteractiveWithNoEntries) {
    test::ScopedFakePlatform fake;
    EXPECT_TRUE(startWith(QStringLiteral("   ")).isEmpty());
    EXPECT_FALSE(g_bSilentMode);
    EXPECT_TRUE(g_sSelectedPrinter.isEmpty());
}

TEST(Main, ReadsOptionsAndFilesIntoTheStateAndTheCollection) {
    test::ScopedFakePlatform fake;
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
    const QString emptyJob =
        fileWith(fake, "empty.xml", "<PlenBatchPrintJob><PlenBatchPrintItem/></PlenBatchPrintJob>");
    EXPECT_TRUE(startWith("/batchjob=" + emptyJob).isEmpty());
    EXPECT_TRUE(startWith("/batchjob=" + fake.tempPath("gone.xml")).isEmpty());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(Main, SetsTheHelpFileInTheProgramFolder) {
    test::ScopedFakePlatform fake;
    fake.get().programFolder = QStringLiteral("/opt/plenbatchprint");
    startWith(QString());
    EXPECT_EQ(g_sHelpFile, QStringLiteral("/opt/plenbatchprint/PlenPrint.hlp"));
    fake.get().programFolder = QStringLiteral("/");
    startWith(QString());
    EXPECT_EQ(g_sHelpFile, QStringLiteral("/PlenPrint.hlp"));
}

}  // namespace
}  // namespace pbp
