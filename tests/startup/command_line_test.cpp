#include <gtest/gtest.h>

#include "startup/mod_main.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

using test::pathsOf;

TEST(CommandLine, SilentMarkerIsCaseSensitiveAndCountsOnlyAfterASpace) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/SILENT");
    EXPECT_FALSE(GetSilentOptionFromCommandLine(cmd));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)), QStringList{"/SILENT"});
    cmd = QStringLiteral("/silentmode");
    EXPECT_TRUE(GetSilentOptionFromCommandLine(cmd));
    EXPECT_EQ(cmd, QStringLiteral("mode"));
    cmd = QStringLiteral("/file=/home/silentbob/a.vsd /file=/srv/x/file=b.vsd");
    EXPECT_FALSE(GetSilentOptionFromCommandLine(cmd));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)),
              (QStringList{"/home/silentbob/a.vsd", "/srv/x/file=b.vsd"}));
}

TEST(CommandLine, PrinterEndsAtTheNextSlashAndBatchJobAtTheNextMarker) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/printer=Office Laser 4/5");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("Office Laser 4"));
    EXPECT_EQ(cmd, QStringLiteral("/5"));
    cmd = QStringLiteral("/printer=HP /printer=Canon /file=a.vsd");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("HP"));
    EXPECT_EQ(cmd, QStringLiteral("/printer=Canon /file=a.vsd"));
    cmd = QStringLiteral("/printer=  /file=a.vsd");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QString());

    cmd = QStringLiteral("/batchjob=/srv/my jobs/job 1.xml /file=/a.vsd");
    EXPECT_EQ(GetDataFileFromCommandLine(cmd), QStringLiteral("/srv/my jobs/job 1.xml"));
    EXPECT_EQ(cmd, QStringLiteral("/file=/a.vsd"));
}

TEST(CommandLine, FileEntriesFollowTheMarkers) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("stray /file=a.vsd /file= /file=b"))),
              (QStringList{"a.vsd", "", "b"}));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("/file=\"/home/ä b.vsd\""))),
              QStringList{"\"/home/ä b.vsd\""});
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("/home/me/plan.vsd"))),
              QStringList{"/home/me/plan.vsd"});
    const FileCollection none = GetFilesFromCommandLine(QString());
    EXPECT_TRUE(none && none->empty());
}

TEST(CommandLine, ThousandsOfFileOptionsAreAllRead) {
    test::ScopedFakePlatform fake;
    QStringList arguments, expected;
    for (int i = 0; i < 5000; ++i) {
        expected << QStringLiteral("/srv/drawings/plan %1.vsd").arg(i);
        arguments << "/file=" + expected.last();
    }
    QString cmd = arguments.join(u' ') + " /printer=Office";
    ASSERT_GT(cmd.size(), 32767);
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("Office"));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)), expected);
    EXPECT_TRUE(fake.messages.shown.empty());
}

}  // namespace
}  // namespace pbp
