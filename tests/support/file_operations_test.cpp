#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/file_operations.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(IsValidExtension, ComparesTheLastFourCharactersIgnoringCase) {
    test::ScopedFakePlatform fake;
    EXPECT_TRUE(IsValidExtension(QStringLiteral("C:\\a.VSD"), QStringLiteral(".vsd")));
    EXPECT_TRUE(IsValidExtension(QStringLiteral("/srv/ä b.Vdx"), QStringLiteral(".vdx")));
    EXPECT_FALSE(IsValidExtension(QStringLiteral("a.vsdx"), QStringLiteral(".vsd")));
    EXPECT_FALSE(IsValidExtension(QStringLiteral("vsd"), QStringLiteral(".vsd")));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(WriteTextToFileAsBinary, EmptyNameWritesNothing) {
    test::ScopedFakePlatform fake;
    EXPECT_FALSE(WriteTextToFileAsBinary(QString(), QStringLiteral("abc"), true));
    EXPECT_TRUE(QDir(fake.dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(WriteTextToFileAsBinary, OverwriteLeavesExactlyTheNewTextAsUtf8) {
    test::ScopedFakePlatform fake;
    const QString path = fake.tempPath(QStringLiteral("list.csv"));
    writeBytes(path, "0123456789");
    EXPECT_TRUE(WriteTextToFileAsBinary(path, QStringLiteral("abc"), true));
    EXPECT_EQ(bytesOf(path), QByteArray("abc"));

    EXPECT_TRUE(WriteTextToFileAsBinary(path, QStringLiteral("/tmp/Zeichnung ö.vsd"), true));
    EXPECT_EQ(bytesOf(path), QByteArray("/tmp/Zeichnung \xc3\xb6.vsd"));
    EXPECT_EQ(QDir(fake.dir.path()).entryList(QDir::Files), QStringList{"list.csv"});
}

TEST(WriteTextToFileAsBinary, WithoutOverwriteTheOldTailStays) {
    test::ScopedFakePlatform fake;
    const QString path = fake.tempPath(QStringLiteral("list.csv"));
    writeBytes(path, "0123456789");
    EXPECT_TRUE(WriteTextToFileAsBinary(path, QStringLiteral("abc"), false));
    EXPECT_EQ(bytesOf(path), QByteArray("abc3456789"));
}

TEST(WriteTextToFileAsBinary, FailureIsReportedAndTheTargetIsKept) {
    test::ScopedFakePlatform fake;
    const QString blocker = fake.tempPath(QStringLiteral("not-a-folder"));
    writeBytes(blocker, "keep");
    EXPECT_FALSE(
        WriteTextToFileAsBinary(blocker + QStringLiteral("/out.csv"), QStringLiteral("abc"), true));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in modFileOperations.WriteTextToFileAsBinary\r\n")));

    const QString folderTarget = fake.tempPath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folderTarget));
    EXPECT_FALSE(WriteTextToFileAsBinary(folderTarget, QStringLiteral("abc"), true));
    EXPECT_TRUE(QFileInfo(folderTarget).isDir());
    EXPECT_EQ(bytesOf(blocker), QByteArray("keep"));
    EXPECT_EQ(fake.messages.shown.size(), 2u);
}

TEST(ReadFromTextFile, ReadsTheWholeFileWithLineEnds) {
    test::ScopedFakePlatform fake;
    const QString empty = fake.tempPath(QStringLiteral("empty.csv"));
    writeBytes(empty, "");
    EXPECT_EQ(ReadFromTextFile(empty), QString());

    const QString path = fake.tempPath(QStringLiteral("list.csv"));
    writeBytes(path, "\xef\xbb\xbf/a/\xc3\xa9.vsd,\r\n/b.vsd\n");
    EXPECT_EQ(ReadFromTextFile(path), QStringLiteral("/a/\u00e9.vsd,\r\n/b.vsd\n"));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(ReadFromTextFile, MissingFileIsReportedAndGivesEmptyText) {
    test::ScopedFakePlatform fake;
    const QString path = fake.tempPath(QStringLiteral("gone.csv"));
    EXPECT_EQ(ReadFromTextFile(path), QString());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("Problem in modFileOperations.ReadFromTextFile\r\nError Number: "
                             "53\r\nError Description: File not found: ") +
                  path);
}

}  // namespace
}  // namespace pbp
