#include <gtest/gtest.h>

#include "startup/mod_main.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

using test::pathsOf;

TEST(CommandLine, OptionsAreTakenOutOnlyWhereTheirMarkerCounts) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/SILENT /file=/home/silentbob/a.vsd");
    EXPECT_FALSE(GetSilentOptionFromCommandLine(cmd));
    cmd = QStringLiteral("/silentmode");
    EXPECT_TRUE(GetSilentOptionFromCommandLine(cmd));
    EXPECT_EQ(cmd, QStringLiteral("mode"));

    cmd = QStringLiteral("/printer=HP /printer=Canon /file=a.vsd");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("HP"));
    EXPECT_EQ(cmd, QStringLiteral("/printer=Canon /file=a.vsd"));
    cmd = QStringLiteral("/printer=Office Laser 4/5");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("Office Laser 4"));
    cmd = QStringLiteral("/batchjob=/srv/my jobs/job 1.xml /file=/a.vsd");
    EXPECT_EQ(GetDataFileFromCommandLine(cmd), QStringLiteral("/srv/my jobs/job 1.xml"));
    EXPECT_EQ(cmd, QStringLiteral("/file=/a.vsd"));
}

TEST(CommandLine, FileEntriesFollowTheMarkers) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine("stray /file=a.vsd /file= /file=/x/file=b.vsd")),
              (QStringList{"a.vsd", "", "/x/file=b.vsd"}));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("/home/me/plan.vsd"))),
              QStringList{"/home/me/plan.vsd"});
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
