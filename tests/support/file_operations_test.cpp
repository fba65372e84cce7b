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

QString fileWith(test::ScopedFakePlatform& fake, const QString& name, const QByteArray& bytes) {
    QFile file(fake.tempPath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

TEST(IsValidExtension, ComparesTheLastFourCharactersIgnoringCase) {
    EXPECT_TRUE(IsValidExtension(QStringLiteral("C:\\a.VSD"), QStringLiteral(".vsd")));
    EXPECT_FALSE(IsValidExtension(QStringLiteral("a.vsdx"), QStringLiteral(".vsd")));
    EXPECT_FALSE(IsValidExtension(QStringLiteral("vsd"), QStringLiteral(".vsd")));
}

TEST(WriteTextToFileAsBinary, OverwriteLeavesExactlyTheNewUtf8Text) {
    test::ScopedFakePlatform fake;
    EXPECT_FALSE(WriteTextToFileAsBinary(QString(), QStringLiteral("abc"), true));
    const QString path = fileWith(fake, QStringLiteral("list.csv"), "0123456789");
    EXPECT_TRUE(WriteTextToFileAsBinary(path, QStringLiteral("ab\u00f6"), true));
    EXPECT_EQ(bytesOf(path), QByteArray("ab\xc3\xb6"));
    EXPECT_EQ(QDir(fake.dir.path()).entryList(QDir::Files), QStringList{"list.csv"});

    EXPECT_TRUE(WriteTextToFileAsBinary(path, QStringLiteral("x"), false));
    EXPECT_EQ(bytesOf(path), QByteArray("xb\xc3\xb6"));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(WriteTextToFileAsBinary, FailureIsReportedAndLeavesTheTargetAsItWas) {
    test::ScopedFakePlatform fake;
    const QString blocker = fileWith(fake, QStringLiteral("not-a-folder"), "keep");
    EXPECT_FALSE(WriteTextToFileAsBinary(blocker + "/out.csv", QStringLiteral("abc"), true));
    const QString folder = fake.tempPath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(WriteTextToFileAsBinary(folder, QStringLiteral("abc"), true));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(bytesOf(blocker), QByteArray("keep"));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in modFileOperations.WriteTextToFileAsBinary\r\n")));
}

TEST(ReadFromTextFile, ReadsWholeFilesAndReportsMissingOnes) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(ReadFromTextFile(fileWith(fake, QStringLiteral("empty.csv"), "")), QString());
    EXPECT_EQ(
        ReadFromTextFile(fileWith(fake, QStringLiteral("l.csv"), "\xef\xbb\xbf/\xc3\xa9,\r\n")),
        QStringLiteral("/\u00e9,\r\n"));
    EXPECT_TRUE(fake.messages.shown.empty());

    const QString missing = fake.tempPath(QStringLiteral("gone.csv"));
    EXPECT_EQ(ReadFromTextFile(missing), QString());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              "Problem in modFileOperations.ReadFromTextFile\r\nError Number: 53\r\n"
              "Error Description: File not found: " +
                  missing);
}

}  // namespace
}  // namespace pbp
