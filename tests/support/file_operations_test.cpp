#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <QDir>
#include <QFileInfo>

#include "support/error_handling.h"
#include "support/file_operations.h"
#include "tests/common/fake_platform.h"
#include "tests/common/test_paths.h"

namespace pbp {
namespace {

TEST(ErrorHandling, ReportsThreeLinesAndGuardedTurnsAnyFailureIntoFalse) {
    test::ScopedFakePlatform fake;
    ReportError(QStringLiteral("frmPlenPrintBatch"), QStringLiteral("Display"),
                VbError(-2147221164, QStringLiteral("Class not registered")));
    EXPECT_TRUE(Guarded(QStringLiteral("m"), QStringLiteral("p"), [] {}));
    EXPECT_FALSE(Guarded(QStringLiteral("m"), QStringLiteral("p"),
                         [] { throw std::runtime_error("disk full"); }));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("PlenBatchPrint"));
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("Problem in frmPlenPrintBatch.Display\r\nError Number: -2147221164\r\n"
                             "Error Description: Class not registered"));
    EXPECT_TRUE(
        fake.messages.shown[1].text.endsWith(QStringLiteral("Error Description: disk full")));
}

// Overwriting leaves exactly the new UTF-8 text, patching keeps the rest, and a failed write is
// reported and leaves the target as it was.
TEST(WriteTextToFileAsBinary, WritesExactlyTheTextOrReportsAndLeavesTheTarget) {
    test::ScopedFakePlatform fake;
    const QString path = fake.writeFile(QStringLiteral("list.csv"), "0123456789");
    EXPECT_TRUE(WriteTextToFileAsBinary(path, QStringLiteral("ab\u00f6"), true));
    EXPECT_EQ(test::fileBytes(path), QByteArray("ab\xc3\xb6"));
    EXPECT_EQ(QDir(fake.dir.path()).entryList(QDir::Files), QStringList{"list.csv"});
    EXPECT_TRUE(WriteTextToFileAsBinary(path, QStringLiteral("x"), false));
    EXPECT_EQ(test::fileBytes(path), QByteArray("xb\xc3\xb6"));
    EXPECT_TRUE(fake.messages.shown.empty());

    const QString blocker = fake.writeFile(QStringLiteral("not-a-folder"), "keep");
    EXPECT_FALSE(WriteTextToFileAsBinary(blocker + "/out.csv", QStringLiteral("abc"), true));
    EXPECT_FALSE(WriteTextToFileAsBinary(fake.dir.path(), QStringLiteral("abc"), true));
    EXPECT_TRUE(QFileInfo(fake.dir.path()).isDir());
    EXPECT_EQ(test::fileBytes(blocker), QByteArray("keep"));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in modFileOperations.WriteTextToFileAsBinary\r\n")));
}

// A write the system cuts short (here by a file size limit, as a full disk does) is reported
// with the system's reason, not "Unknown error": a large write and a small buffered one.
TEST(WriteTextToFileAsBinary, AShortWriteNamesTheRealCause) {
    const pid_t child = ::fork();
    if (child == 0) {
        test::ScopedFakePlatform fake;
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10000, 10000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        WriteTextToFileAsBinary(fake.tempPath("large.csv"), QString(100000, u'x'), true);
        WriteTextToFileAsBinary(fake.tempPath("small.csv"), QString(12000, u'x'), false);
        int wrong = fake.messages.shown.size() == 2 ? 0 : 1;
        for (const test::ShownMessage& message : fake.messages.shown) {
            std::fprintf(stderr, "%s\n", qPrintable(message.text));
            if (!message.text.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) wrong = 1;
        }
        ::_exit(wrong);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Kernel attribute files report a page as their size whatever they hold: reading ends where
// the data ends.
TEST(ReadFromTextFile, DropsTheByteOrderMarkEndsWithTheDataAndReportsMissingFiles) {
    test::ScopedFakePlatform fake;
    const QString claimsMore = QStringLiteral("/sys/devices/system/cpu/online");
    if (QFileInfo(claimsMore).isFile()) {
        EXPECT_TRUE(ReadFromTextFile(claimsMore).endsWith(u'\n'));
    }
    EXPECT_EQ(
        ReadFromTextFile(fake.writeFile(QStringLiteral("l.csv"), "\xef\xbb\xbf/\xc3\xa9,\r\n")),
        QStringLiteral("/\u00e9,\r\n"));
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(ReadFromTextFile(fake.tempPath(QStringLiteral("gone.csv"))), QString());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("Error Number: 53\r\n"));
}

}  // namespace
}  // namespace pbp
