#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>
#include <QStringEncoder>

#include "startup/mod_main.h"
#include "tests/common/fake_platform.h"
#include "tests/startup/collection_text.h"

namespace pbp {
namespace {

using test::pathsOf;

TEST(BatchList, KeepsDrawingPiecesBetweenCommas) {
    test::ScopedFakePlatform fake;
    const QString list = fake.writeFile(QStringLiteral("list.csv"),
                                        "C:\\a.vsd, D:\\b.vsd,/x.VSD, /y.vsdx, ,"
                                        " /home/Pl\xc3\xa4ne 2024/\"q\" c.vtx , /s.vdx \r\n");
    EXPECT_EQ(pathsOf(GetFilesFromCSVDataFile(list)),
              (QStringList{"C:\\a.vsd", "D:\\b.vsd", "/x.VSD", "/y.vsdx",
                           "/home/Pläne 2024/\"q\" c.vtx"}));
    // Line ends are removed from the entries, a lone line feed too.
    EXPECT_EQ(pathsOf(GetFilesFromCSVDataFile(fake.writeFile("lf.csv", "/a.vsd,\n/b.vsd\n"))),
              (QStringList{"/a.vsd", "/b.vsd"}));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(BatchList, BinaryHugeOrUnreadableFilesGiveAClearAnswer) {
    test::ScopedFakePlatform fake;
    QByteArray binary(4096, '\0'), huge;
    for (int i = 0; i < binary.size(); ++i) binary[i] = char(i * 7919 % 256);
    EXPECT_TRUE(GetFilesFromCSVDataFile(fake.writeFile("b.bin", binary)).has_value());
    for (int i = 0; i < 100000; ++i)
        huge += "/srv/drawings/plan " + QByteArray::number(i) + ".vsd, ";
    EXPECT_EQ(GetFilesFromCSVDataFile(fake.writeFile("h.csv", huge))->size(), 100000u);
    EXPECT_TRUE(fake.messages.shown.empty());

    // A pipe would block the reader for ever; a folder cannot be read.
    ASSERT_EQ(::mkfifo(fake.tempPath("pipe.csv").toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(GetFilesFromCSVDataFile(fake.tempPath("pipe.csv"))->size(), 0u);
    EXPECT_EQ(GetFilesFromCSVDataFile(fake.dir.path())->size(), 0u);
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[0].text.endsWith("pipe.csv: not a regular file"));
}

TEST(JobFile, ReadsItemsAtAnyDepthAndTellsWhetherItAsksToBeDeleted) {
    test::ScopedFakePlatform fake;
    const QString job = fake.writeFile("job.xml", R"(<?xml version="1.0"?>
<PlenBatchPrintJob DeleteJobFileWhenComplete="yes">
  <PlenBatchPrintItem Filename="/srv/a b.vsd" Delete="true">ignored</PlenBatchPrintItem>
  <Group><PlenBatchPrintItem Filename="/srv/&quot;q&quot;.vdx" Delete="True"/></Group>
  <PlenBatchPrintItem Delete="true"/><PlenBatchPrintItem Filename=""/>
  <PlenBatchPrintItem Filename="/srv/c.vsd" Delete="TRUE"/>
</PlenBatchPrintJob>)");
    bool deleteWhenComplete = true;
    EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(job, &deleteWhenComplete)),
              (QStringList{"/srv/a b.vsd [delete]", "/srv/\"q\".vdx", "/srv/c.vsd"}));
    EXPECT_FALSE(deleteWhenComplete);
    const QString selfDeleting =
        fake.writeFile("gone.xml",
                       "<PlenBatchPrintJob DeleteJobFileWhenComplete=\"TRUE\">"
                       "<PlenBatchPrintItem Filename=\"/a.vsd\"/></PlenBatchPrintJob>");
    EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(selfDeleting, &deleteWhenComplete)),
              QStringList{"/a.vsd"});
    EXPECT_TRUE(deleteWhenComplete);
    EXPECT_TRUE(QFile::exists(selfDeleting));  // deleted only once its drawings are printed
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(JobFile, HonoursTheEncodingDeclaration) {
    test::ScopedFakePlatform fake;
    const QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"%1\"?><PlenBatchPrintJob>"
        "<PlenBatchPrintItem Filename=\"/srv/Pl\u00e4ne/\u00e9t\u00e9.vsd\"/></PlenBatchPrintJob>");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16Job = utf16.encode(text.arg("UTF-16"));
    for (const QString& job : {fake.writeFile("utf16.xml", utf16Job),
                               fake.writeFile("latin1.xml", text.arg("ISO-8859-1").toLatin1())})
        EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(job)), QStringList{"/srv/Pläne/été.vsd"})
            << job.toStdString();
}

// A job file nested 300,000 deep counts as no job file (reading it whole took minutes).
TEST(JobFile, WrongRootNoXmlOrAbsurdNestingGivesNoCollectionWithoutMessage) {
    test::ScopedFakePlatform fake;
    const int depth = 300000;
    const QByteArray nested = "<PlenBatchPrintJob>" + QByteArray("<g>").repeated(depth) +
                              "<PlenBatchPrintItem Filename=\"/a.vsd\"/>" +
                              QByteArray("</g>").repeated(depth) + "</PlenBatchPrintJob>";
    for (const QByteArray& content :
         {QByteArray(
              "<plenbatchprintjob><PlenBatchPrintItem Filename=\"/a.vsd\"/></plenbatchprintjob>"),
          QByteArray("/a.vsd, /b.vsd"), QByteArray("\x00\xff\x01<", 4), nested})
        EXPECT_FALSE(GetFilesFromXMLDataFile(fake.writeFile("job.xml", content)))
            << content.left(100).data();
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(GetFiles, JoinsTheFolderWithEachNameEvenAtTheRoot) {
    const QString nul(QChar(u'\0'));
    EXPECT_EQ(GetFiles("/srv/plans" + nul + "a.vsd" + nul + "b c.vsd", true),
              (QStringList{"/srv/plans/a.vsd", "/srv/plans/b c.vsd"}));
    EXPECT_EQ(GetFiles("/" + nul + "a.vsd", true), QStringList{"/a.vsd"});
}

}  // namespace
}  // namespace pbp
