#include <gtest/gtest.h>

#include <QFile>

#include "startup/mod_main.h"
#include "support/program_state.h"
#include "support/vb_error.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

using test::pathsOf;

// Runs Main and answers what Display was given (nullopt inside when no collection).
struct Started {
    int displayCalls = 0;
    FileCollection files;
};

Started start(const QString& commandLine) {
    Started started;
    Main(commandLine, [&](FileCollection& files) {
        ++started.displayCalls;
        started.files = files;
    });
    return started;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(Main, EmptyOrBlankCommandLineStartsInteractiveWithNoEntries) {
    for (const char* line : {"", "   "}) {
        test::ScopedFakePlatform fake;
        const Started started = start(QString::fromLatin1(line));
        EXPECT_EQ(started.displayCalls, 1);
        ASSERT_TRUE(started.files.has_value());
        EXPECT_TRUE(started.files->empty());
        EXPECT_FALSE(g_bSilentMode);
        EXPECT_TRUE(g_sSelectedPrinter.isEmpty());
    }
}

TEST(Main, ReadsOptionsAndFilesIntoTheStateAndTheCollection) {
    test::ScopedFakePlatform fake;
    const Started started =
        start(QStringLiteral(" /file=/home/silentbob/a b.vsd /printer=Office_Laser /silent "));
    EXPECT_TRUE(g_bSilentMode);
    EXPECT_EQ(g_sSelectedPrinter, QStringLiteral("Office_Laser"));
    EXPECT_EQ(pathsOf(started.files), QStringList{"/home/silentbob/a b.vsd"});
}

TEST(Main, JobFileWinsOverFileOptionsAndFallsBackToABatchList) {
    test::ScopedFakePlatform fake;
    const QString job = fake.tempPath(QStringLiteral("job one.xml"));
    writeFile(job,
              "<PlenBatchPrintJob><PlenBatchPrintItem Filename=\"/j.vsd\" Delete=\"true\"/>"
              "</PlenBatchPrintJob>");
    EXPECT_EQ(pathsOf(start("/batchjob=" + job + " /file=/ignored.vsd").files),
              QStringList{"/j.vsd [delete]"});

    const QString list = fake.tempPath(QStringLiteral("list.csv"));
    writeFile(list, "/a.vsd, /b.vsd");
    EXPECT_EQ(pathsOf(start("/batchjob=" + list).files), (QStringList{"/a.vsd", "/b.vsd"}));

    const QString emptyJob = fake.tempPath(QStringLiteral("empty.xml"));
    writeFile(emptyJob, "<PlenBatchPrintJob><PlenBatchPrintItem/></PlenBatchPrintJob>");
    const Started fromEmptyJob = start("/batchjob=" + emptyJob);
    ASSERT_TRUE(fromEmptyJob.files.has_value());
    EXPECT_TRUE(fromEmptyJob.files->empty());

    const Started missing = start("/batchjob=" + fake.tempPath(QStringLiteral("gone.xml")));
    ASSERT_TRUE(missing.files.has_value());
    EXPECT_TRUE(missing.files->empty());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(Main, SetsTheHelpFileInTheProgramFolder) {
    test::ScopedFakePlatform fake;
    fake.get().programFolder = QStringLiteral("/opt/plenbatchprint");
    start(QString());
    EXPECT_EQ(g_sHelpFile, QStringLiteral("/opt/plenbatchprint/PlenPrint.hlp"));
    fake.get().programFolder = QStringLiteral("/");
    start(QString());
    EXPECT_EQ(g_sHelpFile, QStringLiteral("/PlenPrint.hlp"));
}

TEST(Main, AFailureInDisplayIsReportedAsMain) {
    test::ScopedFakePlatform fake;
    Main(QString(), [](FileCollection&) { throw VbError(91, QStringLiteral("no window")); });
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(QStringLiteral("Problem in modMain.Main")));
}

}  // namespace
}  // namespace pbp
