#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include "startup/mod_main.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

using test::pathsOf;

QString writeFile(test::ScopedFakePlatform& fake, const QString& name, const QByteArray& bytes) {
    const QString path = fake.tempPath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(BatchList, SplitsAtCommasAndKeepsDrawingNames) {
    test::ScopedFakePlatform fake;
    const QString path = writeFile(fake, QStringLiteral("list.csv"),
                                   "C:\\a.vsd, D:\\b.vsd,/srv/x.VSD, /srv/y.vsdx, ,"
                                   " /home/me/Pl\xc3\xa4ne 2024/\"q\" c.vtx , \"/s/t.vdx\"");
    EXPECT_EQ(pathsOf(GetFilesFromCSVDataFile(path)),
              (QStringList{"C:\\a.vsd", "D:\\b.vsd", "/srv/x.VSD",
                           QStringLiteral("/home/me/Pl\u00e4ne 2024/\"q\" c.vtx")}));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(BatchList, LineEndsDoNotSeparateEntries) {
    test::ScopedFakePlatform fake;
    const QString crlf = writeFile(fake, QStringLiteral("crlf.csv"), "/a.vsd\r\n/b.vsd\r\n");
    EXPECT_EQ(pathsOf(GetFilesFromCSVDataFile(crlf)), QStringList{"/a.vsd/b.vsd"});
    const QString lf = writeFile(fake, QStringLiteral("lf.csv"), "/a.vsd,\n/b.vsd\n");
    EXPECT_EQ(pathsOf(GetFilesFromCSVDataFile(lf)), (QStringList{"/a.vsd", "/b.vsd"}));
    const QString spaceBeforeEnd = writeFile(fake, QStringLiteral("sp.csv"), "/a.vsd \r\n");
    EXPECT_TRUE(pathsOf(GetFilesFromCSVDataFile(spaceBeforeEnd)).isEmpty());
}

TEST(BatchList, MissingBinaryOrHugeFilesGiveAClearAnswer) {
    test::ScopedFakePlatform fake;
    const FileCollection missing = GetFilesFromCSVDataFile(fake.tempPath(QStringLiteral("no.csv")));
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->empty());

    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i) binary[i] = char(i * 7919 % 256);
    const FileCollection fromBinary =
        GetFilesFromCSVDataFile(writeFile(fake, QStringLiteral("b.bin"), binary));
    ASSERT_TRUE(fromBinary.has_value());

    QByteArray huge;
    for (int i = 0; i < 100000; ++i)
        huge += "/srv/drawings/folder/plan " + QByteArray::number(i) + ".vsd, ";
    ASSERT_GT(huge.size(), 3'000'000);
    const FileCollection many =
        GetFilesFromCSVDataFile(writeFile(fake, QStringLiteral("h.csv"), huge));
    ASSERT_TRUE(many.has_value());
    EXPECT_EQ(many->size(), 100000u);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(BatchList, UnreadableListIsReported) {
    test::ScopedFakePlatform fake;
    const QString folder = fake.tempPath(QStringLiteral("folder.csv"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const FileCollection files = GetFilesFromCSVDataFile(folder);
    ASSERT_TRUE(files.has_value());
    EXPECT_TRUE(files->empty());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith(
        QStringLiteral("Problem in modFileOperations.ReadFromTextFile")));
}

TEST(JobFile, ReadsItemsAtAnyDepthInDocumentOrder) {
    test::ScopedFakePlatform fake;
    const QString path = writeFile(fake, QStringLiteral("job.xml"), R"(<?xml version="1.0"?>
<PlenBatchPrintJob>
  <PlenBatchPrintItem Filename="/srv/a b.vsd" Delete="true">text is ignored</PlenBatchPrintItem>
  <Group><PlenBatchPrintItem Filename="/srv/&quot;q&quot;.vdx" Delete="True"/></Group>
  <PlenBatchPrintItem Delete="true"/>
  <PlenBatchPrintItem Filename=""/>
  <PlenBatchPrintItem Filename="/srv/c.vsd" Delete="TRUE"/>
</PlenBatchPrintJob>)");
    EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(path)),
              (QStringList{"/srv/a b.vsd [delete]", "/srv/\"q\".vdx", "/srv/c.vsd"}));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(JobFile, HonoursTheEncodingDeclaration) {
    test::ScopedFakePlatform fake;
    const QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"%1\"?>"
        "<PlenBatchPrintJob><PlenBatchPrintItem Filename=\"/srv/Pl\u00e4ne/\u00e9t\u00e9.vsd\"/>"
        "</PlenBatchPrintJob>");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16Bytes = utf16.encode(text.arg(QStringLiteral("UTF-16")));
    const QByteArray latin1Bytes = text.arg(QStringLiteral("ISO-8859-1")).toLatin1();
    for (const auto& [name, bytes] :
         {std::pair{"utf16.xml", utf16Bytes}, {"latin1.xml", latin1Bytes}}) {
        const QString path = writeFile(fake, QString::fromLatin1(name), bytes);
        EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(path)),
                  QStringList{QStringLiteral("/srv/Pl\u00e4ne/\u00e9t\u00e9.vsd")})
            << name;
    }
}

TEST(JobFile, DeletesItselfWhenAskedInAnyLetterCase) {
    test::ScopedFakePlatform fake;
    const QByteArray body = "<PlenBatchPrintItem Filename=\"/a.vsd\"/></PlenBatchPrintJob>";
    const QString kept = writeFile(fake, QStringLiteral("kept.xml"),
                                   "<PlenBatchPrintJob DeleteJobFileWhenComplete=\"yes\">" + body);
    const QString deleted =
        writeFile(fake, QStringLiteral("deleted.xml"),
                  "<PlenBatchPrintJob DeleteJobFileWhenComplete=\"TRUE\">" + body);
    EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(kept)), QStringList{"/a.vsd"});
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(deleted)), QStringList{"/a.vsd"});
    EXPECT_FALSE(QFile::exists(deleted));
}

TEST(JobFile, WrongRootOrNoXmlGivesNoCollectionWithoutMessage) {
    test::ScopedFakePlatform fake;
    const QString wrongRoot =
        writeFile(fake, QStringLiteral("w.xml"),
                  "<plenbatchprintjob><PlenBatchPrintItem Filename=\"/a.vsd\"/>"
                  "</plenbatchprintjob>");
    EXPECT_FALSE(GetFilesFromXMLDataFile(wrongRoot).has_value());
    const QString csv = writeFile(fake, QStringLiteral("l.csv"), "/a.vsd, /b.vsd");
    EXPECT_FALSE(GetFilesFromXMLDataFile(csv).has_value());
    const QString binary = writeFile(fake, QStringLiteral("b.bin"), QByteArray("\x00\xff\x01<", 4));
    EXPECT_FALSE(GetFilesFromXMLDataFile(binary).has_value());
    const FileCollection missing = GetFilesFromXMLDataFile(fake.tempPath(QStringLiteral("no.xml")));
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->empty());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(GetFiles, JoinsTheFolderWithEachName) {
    test::ScopedFakePlatform fake;
    const QChar nul(u'\0');
    EXPECT_EQ(GetFiles(QStringLiteral("/srv/plans") + nul + "a.vsd" + nul + "b c.vsd", true),
              (QStringList{"/srv/plans/a.vsd", "/srv/plans/b c.vsd"}));
    EXPECT_EQ(GetFiles(QStringLiteral("/") + nul + "a.vsd", true), QStringList{"/a.vsd"});
    EXPECT_EQ(GetFiles(QStringLiteral("/srv/one.csv"), true), QStringList{"/srv/one.csv"});
    EXPECT_EQ(GetFiles(QStringLiteral("/x/a.vsd") + nul + "/y/b.vsd", false),
              (QStringList{"/x/a.vsd", "/y/b.vsd"}));
    EXPECT_EQ(GetFiles(QString(), true), QStringList{});
}

}  // namespace
}  // namespace pbp
