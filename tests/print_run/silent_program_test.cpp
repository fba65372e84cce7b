#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/print_run/program_run.h"

namespace pbp::test {

namespace {
const QString kPdfPrinter = QStringLiteral("PlenBatchPrint PDF");
const QString kSent = QStringLiteral("Sent to Printer");

QStringList pdfsIn(const QString& dir) {
    QStringList found;
    for (const QFileInfo& info : QDir(dir).entryInfoList({"*.pdf"}, QDir::Files, QDir::Name))
        found << info.filePath();
    return found;
}

bool isLandscape(const QString& pdf, int page) {
    const std::vector<QSizeF> sheets = pdfSheetSizes(pdf);
    return int(sheets.size()) >= page &&
           sheets[size_t(page - 1)].width() > sheets[size_t(page - 1)].height();
}
}  // namespace

TEST(SilentProgram, BadInputGetsHonestStatusesAndTheGoodDrawingPrintsWithPagesTurned) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const QString good = work.filePath("Ordner mit Leerzeichen/Zeichnüng ä.vdx");
    const QString missing = work.filePath("missing.vsd");
    const QString folder = work.filePath("folder.vsd");
    const QString notADrawing = fixtureDrawing(QStringLiteral("not_a_drawing.vsdx"));
    const QString background = fixtureDrawing(QStringLiteral("only_background.vdx"));
    QDir().mkpath(QFileInfo(good).path());
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("mixed_pages.vdx")), good));

    const ProgramRun run =
        runSilently(kPdfPrinter, {missing, folder, notADrawing, background, good}, work.path(),
                    work.filePath("config"));
    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    ASSERT_EQ(run.lines.size(), 5) << run.lines.join('\n').toStdString();
    // The classic text, then the engine's reason.
    for (const auto& [unreadable, reason] :
         {std::pair(missing, "The drawing '%1' does not exist."),
          std::pair(folder, "'%1' is a folder, not a drawing."),
          std::pair(notADrawing, "'%1' is a package but not a Visio drawing.")})
        EXPECT_EQ(run.status.value(unreadable),
                  QStringLiteral("There was a problem attempting to open '%1' This file maybe in "
                                 "use by Visio. ")
                          .arg(unreadable) +
                      QString::fromLatin1(reason).arg(unreadable));
    EXPECT_EQ(run.status.value(background),
              QStringLiteral("Not Printed! Drawing only contains background pages."));
    EXPECT_EQ(run.status.value(good), kSent);

    const QStringList pdfs = pdfsIn(work.path());
    ASSERT_EQ(pdfs.size(), 1);
    EXPECT_TRUE(run.lines.contains(good + '\t' + kSent + '\t' + kPdfPrinter + '\t' + pdfs[0]));
    EXPECT_TRUE(QFileInfo(pdfs[0]).fileName().startsWith(QStringLiteral("Zeichnüng ä")));
    EXPECT_EQ(pdfPageCount(pdfs[0]), 3);
    EXPECT_FALSE(isLandscape(pdfs[0], 1));
    EXPECT_TRUE(isLandscape(pdfs[0], 2));  // a wide page set to print upright
}

TEST(SilentProgram, SharedDrawingsPrintAndTheExitCodeMatchesTheStatuses) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    PLEN_REQUIRE_CUPS_FIXTURE();
    QStringList drawings;
    for (const char* folder : {"vdx", "vsd", "vsdx"}) {
        const QDir dir(sharedTestDataDir() + '/' + folder);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            drawings << dir.filePath(name);
    }
    QTemporaryDir work;
    const ProgramRun run = runSilently(kPdfPrinter, drawings, work.path(), work.filePath("config"));
    ASSERT_EQ(run.lines.size(), drawings.size()) << run.errors.toStdString();
    const qsizetype sent = run.status.values().count(kSent);
    EXPECT_GE(sent, drawings.size() - 2) << run.lines.join('\n').toStdString();
    EXPECT_EQ(run.exitCode, sent == drawings.size() ? 0 : 1);
    const QStringList pdfs = pdfsIn(work.path());
    EXPECT_EQ(pdfs.size(), sent);
    const QStringList text = pdfs.filter(QStringLiteral("/text_tests"));
    ASSERT_EQ(text.size(), 1);
    EXPECT_EQ(pdfPageCount(text[0]), 5);
}

}  // namespace pbp::test
