#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>
#include <QStringEncoder>
#include <ostream>

#include "startup/mod_main.h"
#include "tests/common/fake_platform.h"

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace pbp {
namespace {

// The paths of a collection in order; job entries marked for deletion end in " [delete]".
QStringList pathsOf(const FileCollection& files) {
    QStringList paths;
    for (const FileItem& item : files.value_or(std::vector<FileItem>{})) {
        const auto* job = std::get_if<cPrintFile>(&item);
        paths << (!job ? std::get<QString>(item)
                       : job->FileName + (job->Delete ? " [delete]" : ""));
    }
    return paths;
}

TEST(BatchList, KeepsDrawingPiecesBetweenCommasAndReadsHugeListsWhole) {
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
    // A quoted piece stands as it is; a piece that names no drawing is left out (and counted,
    // as Main below shows).
    EXPECT_EQ(pathsOf(GetFilesFromCSVDataFile(fake.writeFile(
                  "quoted.csv", " \"/a, b.vsd\" ,\"/q \"\"x\"\"\n.vdx\",readme.txt"))),
              (QStringList{"/a, b.vsd", "/q \"x\"\n.vdx"}));
    EXPECT_TRUE(fake.messages.shown.empty());

    // A huge list is read whole; a folder cannot be read (a pipe, which would block, is read by
    // Main below).
    QByteArray huge;
    for (int i = 0; i < 100000; ++i)
        huge += "/srv/drawings/plan " + QByteArray::number(i) + ".vsd, ";
    EXPECT_EQ(GetFilesFromCSVDataFile(fake.writeFile("h.csv", huge))->size(), 100000u);
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(GetFilesFromCSVDataFile(fake.dir.path())->size(), 0u);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST(JobFile, ReadsItemsAtAnyDepthInTheirEncodingAndTellsWhetherItAsksToBeDeleted) {
    test::ScopedFakePlatform fake;
    const QString job = fake.writeFile("job.xml", R"(<?xml version="1.0"?>
<PlenBatchPrintJob DeleteJobFileWhenComplete="yes">
  <PlenBatchPrintItem Filename="/srv/a b.vsd" Delete="true">ignored</PlenBatchPrintItem>
  <Group><PlenBatchPrintItem Filename="/srv/&quot;q&quot;.vdx" Delete="True"/></Group>
  <PlenBatchPrintItem Delete="true"/><PlenBatchPrintItem Filename=""/>
  <PlenBatchPrintItem Filename="/srv/c.vsd" Delete="TRUE"/>
  <PlenBatchPrintItem filename="/srv/d.vsd"/>
</PlenBatchPrintJob>)");
    bool deleteWhenComplete = true;
    JobFileNotes notes;
    EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(job, &deleteWhenComplete, &notes)),
              (QStringList{"/srv/a b.vsd [delete]", "/srv/\"q\".vdx", "/srv/c.vsd"}));
    EXPECT_FALSE(deleteWhenComplete);
    EXPECT_EQ(notes.unreadableEntries, 3);
    EXPECT_EQ(notes.reasons,
              (QStringList{"line 5: the item has no Filename", "line 5: the Filename is empty",
                           "line 7: 'filename' is not 'Filename' (the name is case-sensitive)"}));
    EXPECT_TRUE(fake.messages.shown.empty());

    // The encoding declaration is honoured.
    const QString text = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"%1\"?><PlenBatchPrintJob>"
        "<PlenBatchPrintItem Filename=\"/srv/Pl\u00e4ne/\u00e9t\u00e9.vsd\"/></PlenBatchPrintJob>");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16Job = utf16.encode(text.arg("UTF-16"));
    for (const QString& encoded : {fake.writeFile("utf16.xml", utf16Job),
                                   fake.writeFile("latin1.xml", text.arg("ISO-8859-1").toLatin1())})
        EXPECT_EQ(pathsOf(GetFilesFromXMLDataFile(encoded)), QStringList{"/srv/Pläne/été.vsd"})
            << encoded.toStdString();
}

// A job file nested 300,000 deep counts as no job file (reading it whole took minutes).
TEST(JobFile, WrongRootNoXmlOrAbsurdNestingGivesNoCollectionWithoutMessage) {
    test::ScopedFakePlatform fake;
    const int depth = 300000;
    const QByteArray nested = "<PlenBatchPrintJob>" + QByteArray("<g>").repeated(depth) +
                              "<PlenBatchPrintItem Filename=\"/a.vsd\"/>" +
                              QByteArray("</g>").repeated(depth) + "</PlenBatchPrintJob>";
    // The reader says what is wrong and where, when it can.
    for (const auto& [content, problem] :
         {std::pair(QByteArray("<plenbatchprintjob><PlenBatchPrintItem Filename=\"/a.vsd\"/>"
                               "</plenbatchprintjob>"),
                    "line 1: the root element is <plenbatchprintjob>, not <PlenBatchPrintJob>"),
          std::pair(nested, "line 1: elements are nested more than 1000 deep"),
          std::pair(QByteArray("<PlenBatchPrintJob>\n<PlenBatchPrintItem Filename=\"/a.vsd\">\n"
                               "</PlenBatchPrintJob>"),
                    "line 3, column 20: Opening and ending tag mismatch."),
          std::pair(QByteArray("/a.vsd, /b.vsd"), ""),
          std::pair(QByteArray("\x00\xff\x01<", 4), "")}) {
        JobFileNotes notes;
        EXPECT_FALSE(GetFilesFromXMLDataFile(fake.writeFile("job.xml", content), nullptr, &notes))
            << content.left(100).data();
        if (*problem) {
            EXPECT_EQ(notes.problem, QString::fromLatin1(problem));
        }
    }
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(CommandLine, OptionsAndFileEntriesAreTakenOutOnlyWhereTheirMarkerCounts) {
    test::ScopedFakePlatform fake;
    QString cmd = QStringLiteral("/SILENT /file=/home/silentbob/a.vsd");
    EXPECT_FALSE(GetSilentOptionFromCommandLine(cmd));
    cmd = QStringLiteral("/printer=Office Laser 4/5");
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("Office Laser 4"));

    EXPECT_EQ(pathsOf(GetFilesFromCommandLine("stray /file=a.vsd /file= /file=/x/file=b.vsd")),
              (QStringList{"a.vsd", "", "/x/file=b.vsd"}));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(QStringLiteral("/home/me/plan.vsd"))),
              QStringList{"/home/me/plan.vsd"});

    // Thousands of file options, longer than any Windows command line, are all read.
    QStringList arguments, expected;
    for (int i = 0; i < 5000; ++i) {
        expected << QStringLiteral("/srv/drawings/plan %1.vsd").arg(i);
        arguments << "/file=" + expected.last();
    }
    cmd = arguments.join(u' ') + " /printer=Office";
    ASSERT_GT(cmd.size(), 32767);
    EXPECT_EQ(GetPrinterOptionFromCommandLine(cmd), QStringLiteral("Office"));
    EXPECT_EQ(pathsOf(GetFilesFromCommandLine(cmd)), expected);
    EXPECT_TRUE(fake.messages.shown.empty());
}

// The run request of these arguments.
RunRequest runOf(const QStringList& arguments) {
    const RunRequest run = ReadRunRequest(ReadStartRequest(arguments));
    EXPECT_TRUE(run.files.has_value());
    return run;
}

// The drawings a classic command line names (split at spaces as the shell would).
QStringList startWith(const QString& commandLine) {
    return pathsOf(runOf(commandLine.split(u' ', Qt::SkipEmptyParts)).files);
}

TEST(Main, JobFileWinsOverFileOptionsAndFallsBackToABatchList) {
    test::ScopedFakePlatform fake;
    const QString job = fake.writeFile("job one.xml",
                                       "<PlenBatchPrintJob><PlenBatchPrintItem Filename=\"/j.vsd\" "
                                       "Delete=\"true\"/></PlenBatchPrintJob>");
    const RunRequest jobRun = runOf({"/batchjob=" + job, "/file=/ignored.vsd", "/printer=HP"});
    EXPECT_EQ(pathsOf(jobRun.files), QStringList{"/j.vsd [delete]"});
    EXPECT_TRUE(jobRun.jobFileToDelete.isEmpty());
    EXPECT_EQ(jobRun.printer, QStringLiteral("HP"));
    // "/file=/silent" asks for a silent run and names no drawing; "/SILENT" is a drawing.
    const RunRequest marked = runOf({"/file=/silent", "/file=/SILENT", "/file=a.vsd"});
    EXPECT_TRUE(marked.silent);
    EXPECT_EQ(marked.paths(), (QStringList{"/SILENT", "a.vsd"}));
    const QString list = fake.writeFile("list.csv", "/a.vsd, /b.vsd");
    EXPECT_EQ(startWith("/batchjob=" + list), (QStringList{"/a.vsd", "/b.vsd"}));
    EXPECT_TRUE(fake.messages.shown.empty());
    // A job file that gives no drawings, or drops some, says so, naming the file.
    EXPECT_TRUE(startWith("/batchjob=" + fake.tempPath("gone.xml")).isEmpty());
    const QString odd = fake.writeFile("odd.csv", "/a.vsd, notes.txt, \"/b.vdx\", x");
    EXPECT_EQ(startWith("/batchjob=" + odd), (QStringList{"/a.vsd", "/b.vdx"}));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[0].text, "The job file " + fake.tempPath("gone.xml") +
                                               " gives no drawings: it does not exist.");
    EXPECT_EQ(fake.messages.shown[1].text,
              "2 entries of " + odd +
                  " could not be read: 'notes.txt' is not a drawing's name; 'x' is not a "
                  "drawing's name");
    // Above 64 MB a job file or list is refused unread (a 300 MB job file took 2.2 GB).
    const QString over = fake.writeFile("over.xml", QByteArray(kMaxJobFileBytes + 1, '<'));
    EXPECT_TRUE(startWith("/batchjob=" + over).isEmpty());
    EXPECT_EQ(
        fake.messages.shown.back().text,
        "The job file " + over + " gives no drawings: it is larger than 64 MB and was not read.");
    fake.messages.shown.clear();

    // A job that is a pipe is reported by both readers instead of blocking start-up.
    ASSERT_EQ(::mkfifo(fake.tempPath("job.pipe").toLocal8Bit().constData(), 0600), 0);
    EXPECT_TRUE(startWith("/batchjob=" + fake.tempPath("job.pipe")).isEmpty());
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(
        fake.messages.shown[0].text.startsWith("Problem in modMain.GetFilesFromXMLDataFile"));
    EXPECT_TRUE(fake.messages.shown[1].text.endsWith("job.pipe: not a regular file"));
}

// The options themselves are proved by the silent runs end to end.
TEST(Main, LinuxSyntaxTakesEachArgumentAsOneDrawingAndRefusesWrongOptions) {
    test::ScopedFakePlatform fake;
    EXPECT_EQ(pathsOf(runOf({"-s", "a.vsd", "b c.vdx", "--", "-odd.vsd"}).files),
              (QStringList{"a.vsd", "b c.vdx", "-odd.vsd"}));
    // Without a classic marker even a first argument without "-" is read the Linux way.
    EXPECT_EQ(pathsOf(runOf({"x.vsd", "y.vsd"}).files), (QStringList{"x.vsd", "y.vsd"}));
    const QString job = fake.writeFile("job.xml", "<PlenBatchPrintJob/>");
    for (const QStringList& wrong :
         {QStringList{"-n", "0"}, QStringList{"--bogus"}, QStringList{"-j", job, "a.vsd"},
          QStringList{"-d"}, QStringList{"-d", ""}, QStringList{"--printer= ", "a.vsd"},
          QStringList{"--time-limit", "0"}, QStringList{"--memory-limit", "1"},
          QStringList{"--output", ""}, QStringList{"--output", "all.pdf", "-d", "Office"}})
        EXPECT_EQ(ReadStartRequest(wrong).action, StartRequest::Action::UsageError)
            << wrong.join(' ').data();
}

}  // namespace
}  // namespace pbp
