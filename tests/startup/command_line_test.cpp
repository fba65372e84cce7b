#include <gtest/gtest.h>

#include "startup/mod_main.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

using test::pathsOf;

TEST(CommandLine, SilentMarkerIsCaseSensitiveAndMayRunOn) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/SILENT");
    EXPECT_FALSE(GetSilentOptionFromCommandLine(cmd));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)), QStringList{"/SILENT"});

    cmd = QStringLiteral("/silentmode");
    EXPECT_TRUE(GetSilentOptionFromCommandLine(cmd));
    EXPECT_EQ(cmd, QStringLiteral("mode"));
}

TEST(CommandLine, MarkersInsidePathsDoNotCount) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/file=/home/silentbob/a.vsd /file=/srv/x/file=b.vsd");
    EXPECT_FALSE(GetSilentOptionFromCommandLine(cmd));
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QString());
    EXPECT_EQ(GetDataFileFromCommandLine(cmd), QString());
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)),
              (QStringList{"/home/silentbob/a.vsd", "/srv/x/file=b.vsd"}));
}

TEST(CommandLine, PrinterEndsAtTheNextSlash) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/printer=Office Laser 4/5");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("Office Laser 4"));
    EXPECT_EQ(cmd, QStringLiteral("/5"));

    cmd = QStringLiteral("/printer=HP /printer=Canon /file=a.vsd");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("HP"));
    EXPECT_EQ(cmd, QStringLiteral("/printer=Canon /file=a.vsd"));

    for (const char* empty : {"/printer=", "/printer=  /file=a.vsd"}) {
        cmd = QString::fromLatin1(empty);
        EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QString()) << empty;
    }
}

TEST(CommandLine, BatchJobEndsAtTheNextMarkerThatCounts) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/batchjob=/srv/my jobs/job 1.xml /file=/a.vsd");
    EXPECT_EQ(GetDataFileFromCommandLine(cmd), QStringLiteral("/srv/my jobs/job 1.xml"));
    EXPECT_EQ(cmd, QStringLiteral("/file=/a.vsd"));

    cmd = QStringLiteral("/batchjob=/srv/jobs/job.xml");
    EXPECT_EQ(GetDataFileFromCommandLine(cmd), QStringLiteral("/srv/jobs/job.xml"));
    EXPECT_TRUE(cmd.isEmpty());
}

TEST(CommandLine, FileEntriesFollowTheMarkers) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("/file=a.vsd /file=b.vsd"))),
              (QStringList{"a.vsd", "b.vsd"}));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("stray /file= /file=b.vsd"))),
              (QStringList{"", "b.vsd"}));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(
                  QStringLiteral("/file=\"/home/me/Zeichnung ä.vsd\" /file=/x.vsd"))),
              (QStringList{"\"/home/me/Zeichnung ä.vsd\"", "/x.vsd"}));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("/home/me/plan.vsd"))),
              QStringList{"/home/me/plan.vsd"});
    const FileCollection none = GetFilesFromCommandLine(QString());
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
}

TEST(CommandLine, OptionOrderDoesNotMatter) {
    const QStringList orders = {"/silent /printer=PDF /file=/d/a.vsd",
                                "/file=/d/a.vsd /printer=PDF /silent",
                                "/printer=PDF /file=/d/a.vsd /silent"};
    for (const QString& order : orders) {
        test::ScopedFakePlatform fake;
        QString cmd = order;
        EXPECT_TRUE(GetSilentOptionFromCommandLine(cmd)) << order.toStdString();
        EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("PDF"));
        EXPECT_EQ(GetDataFileFromCommandLine(cmd), QString());
        EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)), QStringList{"/d/a.vsd"});
    }
}

TEST(CommandLine, ThousandsOfFileOptionsAreAllRead) {
    test::ScopedFakePlatform fake;
    QStringList arguments;
    QStringList expected;
    for (int i = 0; i < 5000; ++i) {
        expected << QStringLiteral("/srv/drawings/plan %1.vsd").arg(i);
        arguments << QStringLiteral("/file=") + expected.last();
    }
    arguments << QStringLiteral("/printer=Office");
    QString cmd = arguments.join(u' ');
    ASSERT_GT(cmd.size(), 32767);
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("Office"));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)), expected);
    EXPECT_TRUE(fake.messages.shown.empty());
}

}  // namespace
}  // namespace pbp
