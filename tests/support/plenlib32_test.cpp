#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/plenlib32.h"
#include "tests/common/fake_platform.h"

namespace pbp {
namespace {

TEST(DoesFileExist, NotZeroExactlyWhenSomethingIsThere) {
    test::ScopedFakePlatform fake;
    const QString path = fake.tempPath(QStringLiteral("a b \u00e4.csv"));
    EXPECT_EQ(DoesFileExist(path), 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_NE(DoesFileExist(path), 0);
    EXPECT_EQ(DoesFileExist(QString()), 0);
}

TEST(RemoveCharactersFromStringVBWrap, RemovesEachGivenCharacterAnywhere) {
    const QString crlf = QStringLiteral("\r\n");
    EXPECT_EQ(RemoveCharactersFromStringVBWrap(QStringLiteral("\r\n/a.vsd\r\n"), crlf, 0),
              QStringLiteral("/a.vsd"));
    EXPECT_EQ(RemoveCharactersFromStringVBWrap(QStringLiteral("a\nb\rc"), crlf, 0),
              QStringLiteral("abc"));
    EXPECT_EQ(RemoveCharactersFromStringVBWrap(QStringLiteral("Office Laser"), crlf, 0),
              QStringLiteral("Office Laser"));
}

TEST(ReplaceResourcePlaceHolderVBWrap, FillsThePlaceholder) {
    EXPECT_EQ(ReplaceResourcePlaceHolderVBWrap(QStringLiteral("PlenBatchPrint (%s)"),
                                               QStringLiteral("Build 11.0.1088"),
                                               QStringLiteral("%s"), 1),
              QStringLiteral("PlenBatchPrint (Build 11.0.1088)"));
    EXPECT_EQ(ReplaceResourcePlaceHolderVBWrap(QStringLiteral("no mark"), QStringLiteral("x"),
                                               QStringLiteral("%s"), 1),
              QStringLiteral("no mark"));
}

}  // namespace
}  // namespace pbp
