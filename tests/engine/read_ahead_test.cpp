#include <dlfcn.h>

#include <QDir>
#include <ctime>
#include <thread>

#include "printing/engine/read_ahead.h"
#include "tests/engine/engine_fixture.h"

namespace pbp::test {
namespace {

using namespace visio;

const QString kPdf = printers::kPdfPrinterName;

QStringList fixtures() {
    QStringList paths;
    for (const char* name : {"mixed_pages.vdx", "only_background.vdx", "zero_size.vdx"})
        paths << fixtureDrawing(QString::fromLatin1(name));
    if (QDir(sharedTestDataDir()).exists())
        paths << sharedTestDataDir() + QStringLiteral("/vdx/text_tests.vdx")
              << sharedTestDataDir() + QStringLiteral("/vsd/bitmaps.vsd");
    return paths;
}

struct Engine {
    FakePrinters printers;
    LibVisioEngineFactory factory{printers};
    std::unique_ptr<Application> app = factory.CreateObject(QStringLiteral("Visio.InvisibleApp"));
};

// What a user gets from a drawing: its pages with their cells and the printed text and sheets.
QString summary(Engine& engine, const QString& path) {
    auto doc = engine.app->Documents()->Open(path);
    auto pages = doc->Pages();
    QString text = QString::number(pages->Count());
    qint16 foreground = 0;
    for (int i = 1; i <= pages->Count(); ++i) {
        foreground += pages->Item(i)->Background() == 0;
        auto sheet = pages->Item(i)->PageSheet();
        text += QStringLiteral(" %1:%2x%3")
                    .arg(sheet->Cells(QStringLiteral("PrintPageOrientation"))->Formula(),
                         QString::number(sheet->Cells(QStringLiteral("PageWidth"))->ResultIU()),
                         QString::number(sheet->Cells(QStringLiteral("PageHeight"))->ResultIU()));
    }
    if (foreground > 0) {
        doc->PrintOut(visPrintFromTo, 1, foreground, false, kPdf, false, QString(), 1, false,
                      false);
        const QString pdf = engine.printers.jobs.back().keptPdf;
        text += QString::number(pdfSheetSizes(pdf).size()) + pdfText(pdf);
    }
    doc->Close();
    return text;
}

QString failureOf(Application& app, const QString& path) {
    try {
        app.Documents()->Open(path);
    } catch (const VbError& error) {
        return QString::number(error.number()) + QLatin1Char(' ') + error.description();
    }
    return {};
}

TEST(ReadAhead, HintedOpensGiveWhatPlainOpensGive) {
    Engine hinted, plain;
    const QStringList paths = fixtures();
    hinted.app->Documents()->WillOpen(paths + paths);
    for (int round = 0; round < 2; ++round)
        for (const QString& path : paths) EXPECT_EQ(summary(hinted, path), summary(plain, path));
}

// One worker and room for one drawing at a time: the reads no worker reaches are loaded by the
// open itself, and every drawing still comes out whole and in order.
TEST(ReadAhead, TightLimitsStillGiveEveryDrawing) {
    ReadAhead ahead(ReadAheadLimits{1, 1, 1});
    const QStringList paths = fixtures();
    ahead.expect(paths + paths);
    for (int round = 0; round < 2; ++round)
        for (const QString& path : paths)
            EXPECT_EQ(ahead.take(path).pages.size(), loadDrawingFile(path).pages.size())
                << path.toStdString();
}

// libvisio formats date fields with gmtime() and localtime() on the reading threads: the ones
// its calls bind to must give each thread its own result.
TEST(ReadAhead, DateFormattingGivesEachThreadItsOwnResult) {
    using TimeFunction = struct tm* (*)(const time_t*);
    for (const char* name : {"gmtime", "localtime"}) {
        const auto function = reinterpret_cast<TimeFunction>(dlsym(RTLD_DEFAULT, name));
        ASSERT_NE(function, nullptr);
        const time_t epoch = 0;
        const struct tm* mine = function(&epoch);
        const struct tm* other = nullptr;
        std::thread([&] { other = function(&epoch); }).join();
        EXPECT_NE(mine, other) << name;
    }
}

// Out of order, not hinted, hinted twice or replaced after the hint: each open reads the file
// as it is when opened.
TEST_F(EngineCase, ReadAheadOpensOutOfOrderOrOfReplacedFilesReadTheFileAsItIs) {
    const QString a = dir.filePath(QStringLiteral("a.vdx"));
    const QString b = dir.filePath(QStringLiteral("b.vdx"));
    ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("mixed_pages.vdx")), a));
    ASSERT_TRUE(QFile::copy(fixtureDrawing(QStringLiteral("only_background.vdx")), b));
    const auto pageCount = [&](const QString& path) {
        auto doc = open(path);
        const int count = doc->Pages()->Count();
        doc->Close();
        return count;
    };
    const int mixed = pageCount(a), background = pageCount(b);
    ASSERT_NE(mixed, background);

    app->Documents()->WillOpen({a, b, a, b});
    EXPECT_EQ(pageCount(b), background);
    EXPECT_EQ(pageCount(fixtureDrawing(QStringLiteral("zero_size.vdx"))), 1);
    EXPECT_EQ(pageCount(a), mixed);
    EXPECT_EQ(pageCount(a), mixed);

    app->Documents()->WillOpen({a, b});
    const QString replacement = dir.filePath(QStringLiteral("new.vdx"));
    ASSERT_TRUE(QFile::copy(b, replacement));
    ASSERT_TRUE(QFile::remove(a));
    ASSERT_TRUE(QFile::rename(replacement, a));
    EXPECT_EQ(pageCount(a), background);
    EXPECT_EQ(pageCount(b), background);
}

TEST_F(EngineCase, AReadAheadFailureIsThePlainOpensFailure) {
    Engine plain;
    const QStringList paths{dir.filePath(QStringLiteral("missing.vdx")), dir.path(),
                            fixtureDrawing(QStringLiteral("not_a_drawing.vsdx"))};
    app->Documents()->WillOpen(paths);
    for (const QString& path : paths) {
        const QString failure = failureOf(*app, path);
        EXPECT_FALSE(failure.isEmpty());
        EXPECT_EQ(failure, failureOf(*plain.app, path));
    }
}

TEST_F(EngineCase, QuitWithReadsAheadUnderWayReturnsAndEndsTheEngine) {
    app->Documents()->WillOpen(fixtures() + fixtures());
    app->Quit();
    EXPECT_FALSE(failureOf(*app, fixtureDrawing(QStringLiteral("mixed_pages.vdx"))).isEmpty());
    EXPECT_THROW(app->Documents(), VbError);

    Engine dropped;
    dropped.app->Documents()->WillOpen(fixtures());
    dropped.app.reset();
}

}  // namespace
}  // namespace pbp::test
