#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "tests/common/test_paths.h"
#include "tests/print_run/program_run.h"
#include "tests/print_run/vdx_writer.h"

namespace pbp::test {

namespace {
const QString kPdfPrinter = QStringLiteral("PlenBatchPrint PDF");
const QString kSent = QStringLiteral("Sent to Printer");

QString openFailure(const QString& path) {
    return QStringLiteral(
               "There was a problem attempting to open '%1' This file maybe in use by "
               "Visio.")
        .arg(path);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// PDFs in `dir` whose names begin with `stem`.
QStringList pdfsOf(const QString& dir, const QString& stem) {
    QStringList found;
    for (const QFileInfo& info : QDir(dir).entryInfoList({"*.pdf"}, QDir::Files))
        if (info.fileName().startsWith(stem)) found << info.filePath();
    return found;
}

// First page's "W x H" from pdfinfo.
bool firstPageIsLandscape(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (!line.startsWith(QLatin1String("Page size:"))) continue;
        const QStringList parts = line.mid(10).simplified().split(' ');
        return parts.size() >= 3 && parts[0].toDouble() > parts[2].toDouble();
    }
    return false;
}
}  // namespace

TEST(SilentProgram, BadInputGetsHonestStatusesAndTheRunGoesToTheEnd) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const QString pdfDir = work.filePath("pdf");
    QDir().mkpath(pdfDir);
    const QString good = work.filePath("two pages.vdx");
    const QString landscape = work.filePath("landscape.vdx");
    const QString background = work.filePath("background.vdx");
    const QString odd = work.filePath("Ordner mit Leerzeichen/Zeichnüng ä.vdx");
    const QString random = work.filePath("random.vsd");
    const QString folder = work.filePath("folder.vsd");
    QDir().mkpath(QFileInfo(odd).path());
    QDir().mkpath(folder);
    ASSERT_TRUE(writeVdx(good, {VdxPage{}, VdxPage{}}));
    ASSERT_TRUE(writeVdx(landscape, {VdxPage{11, 8.5, 1}}));
    ASSERT_TRUE(writeVdx(background, {VdxPage{8.5, 11, 1, true}}));
    ASSERT_TRUE(writeVdx(odd, {VdxPage{}}));
    QFile bytes(random);
    ASSERT_TRUE(bytes.open(QIODevice::WriteOnly));
    for (int i = 0; i < 4096; ++i) bytes.putChar(char(QRandomGenerator::global()->generate()));
    bytes.close();
    const QByteArray landscapeBefore = fileBytes(landscape);
    const QString missing = work.filePath("missing.vsd");

    const ProgramRun run = runProgram(
        silentArguments(kPdfPrinter, {good, missing, folder, random, background, odd, landscape}),
        pdfDir, work.filePath("config"));
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    ASSERT_EQ(run.lines.size(), 7) << run.lines.join('\n').toStdString();
    EXPECT_EQ(run.status.value(good), kSent);
    EXPECT_EQ(run.status.value(missing), openFailure(missing));
    EXPECT_EQ(run.status.value(folder), openFailure(folder));
    EXPECT_EQ(run.status.value(random), openFailure(random));
    EXPECT_EQ(run.status.value(background),
              QStringLiteral("Not Printed! Drawing only contains background pages."));
    EXPECT_EQ(run.status.value(odd), kSent);
    EXPECT_EQ(run.status.value(landscape), kSent);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Opening ") + good + " (1 of 7)"));

    ASSERT_EQ(pdfsOf(pdfDir, "two pages").size(), 1);
    EXPECT_EQ(pdfPageCount(pdfsOf(pdfDir, "two pages")[0]), 2);
    EXPECT_EQ(pdfsOf(pdfDir, "Zeichnüng ä").size(), 1);
    ASSERT_EQ(pdfsOf(pdfDir, "landscape").size(), 1);
    EXPECT_TRUE(firstPageIsLandscape(pdfsOf(pdfDir, "landscape")[0]));
    EXPECT_EQ(fileBytes(landscape), landscapeBefore);
    EXPECT_EQ(QDir(pdfDir).entryList({"*.pdf"}, QDir::Files).size(), 3);
}

TEST(SilentProgram, SharedDrawingsPrintAndTheExitCodeMatchesTheStatuses) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    PLEN_REQUIRE_CUPS_FIXTURE();
    QStringList drawings;
    for (const QString& folder : {"vdx", "vsd", "vsdx"}) {
        const QDir dir(sharedTestDataDir() + '/' + folder);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            drawings << dir.filePath(name);
    }
    QTemporaryDir work;
    const ProgramRun run =
        runProgram(silentArguments(kPdfPrinter, drawings), work.path(), work.filePath("config"));
    ASSERT_EQ(run.lines.size(), drawings.size()) << run.errors.toStdString();
    const qsizetype sent = run.status.values().count(kSent);
    EXPECT_GE(sent, drawings.size() - 2) << run.lines.join('\n').toStdString();
    EXPECT_EQ(run.exitCode, sent == drawings.size() ? 0 : 1);
    EXPECT_EQ(QDir(work.path()).entryList({"*.pdf"}, QDir::Files).size(), sent);
    EXPECT_EQ(pdfPageCount(pdfsOf(work.path(), "text_tests")[0]), 5);
}

TEST(SilentProgram, UnwritablePdfFolderFailsEachEntryWithItsReason) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const QString drawing = work.filePath("a.vdx");
    ASSERT_TRUE(writeVdx(drawing, {VdxPage{}}));
    QFile blocker(work.filePath("plain file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ProgramRun run = runProgram(silentArguments(kPdfPrinter, {drawing, drawing}),
                                      blocker.fileName() + "/pdf", work.filePath("config"));
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines.size(), 2);
    for (const QString& line : run.lines)
        EXPECT_TRUE(line.section('\t', 1).startsWith("Error Printing File. Error: "))
            << line.toStdString();
}

TEST(SilentProgram, CupsPrintersGetOneJobPerDrawingAndRefusalsAreErrors) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const QString printer = QStringLiteral("PrintRun_Silent");
    ASSERT_EQ(cups::addPrinter(printer), QString());
    const QString drawing = work.filePath("silent cups.vdx");
    ASSERT_TRUE(writeVdx(drawing, {VdxPage{}, VdxPage{11, 8.5, 1}, VdxPage{}}));

    const ProgramRun sent =
        runProgram(silentArguments(printer, {drawing}), work.path(), work.filePath("config"));
    EXPECT_EQ(sent.exitCode, 0) << sent.lines.join('\n').toStdString();
    const auto job = cups::waitForJob(printer, 1);
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(job->copies, 1);
    EXPECT_EQ(pdfPageCount(job->documentPath), 3);

    const ProgramRun refused = runProgram(silentArguments(cups::kRejectingPrinter, {drawing}),
                                          work.path(), work.filePath("config"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.status.value(drawing).startsWith("Error Printing File. Error: "))
        << refused.lines.join('\n').toStdString();
    cups::removePrinter(printer);
}

TEST(SilentProgram, EmptyListEndsWithTwo) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const ProgramRun run = runProgram({"/silent"}, work.path(), work.filePath("config"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains("There are no documents selected to print."));
}

}  // namespace pbp::test
