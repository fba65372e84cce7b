#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <thread>

#include "printing/engine/engine_errors.h"
#include "printing/engine/run_stop.h"
#include "printing/engine/worker_protocol.h"
#include "tests/common/raised.h"
#include "tests/engine/engine_fixture.h"

namespace pbp::test {
namespace {

using namespace visio;

const QString kPdf = printers::kPdfPrinterName;

QStringList fixtures() {
    QStringList paths;
    for (const char* name : {"mixed_pages.vdx", "only_background.vdx", "zero_size.vdx"})
        paths << fixtureDrawing(QString::fromLatin1(name));
    if (!sharedTestDataDir().isEmpty())
        paths << sharedTestDataDir() + QStringLiteral("/vdx/text_tests.vdx")
              << sharedTestDataDir() + QStringLiteral("/vsd/bitmaps.vsd");
    return paths;
}

using Engine = TestEngine<FakePrinters>;

// What a user gets from a drawing: its pages with their cells and the printed text and sheets.
QString summary(Engine& engine, const QString& path) {
    auto doc = engine.app->Documents()->Open(path);
    auto pages = doc->Pages();
    QString text = QString::number(pages->Count());
    qint16 foreground = 0;
    for (int i = 1; i <= pages->Count(); ++i) {
        foreground += pages->Item(i)->Background() == 0;
        for (const char* cell : {"PrintPageOrientation", "PageWidth", "PageHeight"})
            text += ' ' + pages->Item(i)->PageSheet()->Cells(cell)->Formula();
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

// The processes this test process started that still exist, ended or not (zombies count).
int childProcesses() {
    int children = 0;
    QDirIterator tasks(QStringLiteral("/proc/self/task"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (tasks.hasNext()) {
        QFile list(tasks.next() + QStringLiteral("/children"));
        if (list.open(QIODevice::ReadOnly)) children += int(list.readAll().split(' ').count() - 1);
    }
    return children;
}

// Read ahead and painted as planned, planned otherwise than printed, read ahead out of order
// without a plan by one worker: every drawing prints as a plain open prints it, also when the
// file was replaced after it was read ahead. (That a hinted open fails as a plain one does, with
// the same reason, is proven by the silent run of bad input, which reads ahead.)
TEST(Workers, HintedOpensAndPrintsGiveWhatPlainOnesGive) {
    WorkerSettings one = testWorkerSettings();
    one.workers = 1;
    Engine plain, planned, misplanned, single(one);
    const QStringList paths = fixtures();
    PrintHint everyPage;
    everyPage.printerName = kPdf;
    PrintHint firstPageTurned = everyPage;
    firstPageTurned.firstPageOnly = true;
    firstPageTurned.landscapeShapedPagesTurned = true;
    planned.app->Documents()->WillPrint(everyPage);
    misplanned.app->Documents()->WillPrint(firstPageTurned);
    for (Engine* engine : {&planned, &misplanned})
        engine->app->Documents()->WillOpen(paths + paths);
    single.app->Documents()->WillOpen(QStringList(paths.rbegin(), paths.rend()) + paths);
    for (int round = 0; round < 2; ++round)
        for (const QString& path : paths) {
            const QString expected = summary(plain, path);
            EXPECT_EQ(summary(planned, path), expected);
            EXPECT_EQ(summary(misplanned, path), expected);
            EXPECT_EQ(summary(single, path), expected);
        }

    QTemporaryDir dir;
    const QString replaced = dir.filePath(QStringLiteral("replaced.vdx"));
    const QString next = dir.filePath(QStringLiteral("next.vdx"));
    ASSERT_TRUE(QFile::copy(paths[0], replaced) && QFile::copy(paths[1], next));
    planned.app->Documents()->WillOpen({replaced, paths[2]});
    EXPECT_EQ(summary(planned, paths[2]), summary(plain, paths[2]));  // while it reads ahead
    ASSERT_TRUE(QFile::remove(replaced) && QFile::rename(next, replaced));
    EXPECT_EQ(summary(planned, replaced), summary(plain, paths[1]));
}

// A worker whose painting never ends fails the print (the reading failures are driven end to
// end by the hostile batch), or the print ends as soon as the run is asked to stop; the drawing
// can still be closed, the next drawing is read by a new worker, and no worker is left behind,
// running or unreaped.
TEST(Workers, APrintThatNeverEndsFailsAndItsWorkerIsReplaced) {
    QTemporaryDir dir;
    WorkerSettings settings = testWorkerSettings(true);
    settings.timeLimit = std::chrono::seconds(2);
    const int childrenBefore = childProcesses();
    {
        Engine engine(settings);
        const QString good = fixtureDrawing(QStringLiteral("mixed_pages.vdx"));
        QByteArray slow = fileBytes(good);
        slow.insert(slow.indexOf("?>") + 2, "<!-- PLEN-TEST-PRINT-HANG -->");
        auto doc = engine.app->Documents()->Open(writeFile(dir.filePath("slow.vdx"), slow));
        EXPECT_EQ(raised([&] {
                      doc->PrintOut(visPrintFromTo, 1, 1, false, kPdf, false, QString(), 1, false,
                                    false);
                  }).description(),
                  "the drawing took longer than 2 s to print");
        doc->Close();
        auto stopped = engine.app->Documents()->Open(dir.filePath("slow.vdx"));
        std::thread stopper([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            run_stop::request(0);
        });
        const VbError stop = raised([&] {
            stopped->PrintOut(visPrintFromTo, 1, 1, false, kPdf, false, QString(), 1, false, false);
        });
        stopper.join();
        run_stop::clear();
        EXPECT_EQ(stop.number(), engine_error::kRunStopped) << stop.description().toStdString();
        stopped->Close();
        EXPECT_FALSE(summary(engine, good).isEmpty());
        engine.app->Quit();
        EXPECT_EQ(childProcesses(), childrenBefore);
    }
    EXPECT_EQ(childProcesses(), childrenBefore);
}

// A worker is started once and reads drawing after drawing; killed, it is replaced and the next
// drawing is read as usual.
TEST(Workers, AWorkerReadsDrawingAfterDrawingAndAKilledOneIsReplaced) {
    QTemporaryDir dir;
    WorkerSettings settings = testWorkerSettings(true);
    settings.workers = 1;
    Engine engine(settings);
    const QString drawing = writeFile(dir.filePath("pid.vsd"), "PLEN-TEST-PID");
    const auto reader = [&] {
        return raised([&] { engine.app->Documents()->Open(drawing); }).description().toInt();
    };
    const int worker = reader();
    ASSERT_GT(worker, 0);
    EXPECT_EQ(reader(), worker);
    ASSERT_EQ(::kill(worker, SIGKILL), 0);
    // Once it has ended (the engine reaps it later), its socket is closed.
    const auto ended = [&] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(worker));
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    };
    for (int wait = 0; wait < 500 && !ended(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const int replacement = reader();
    EXPECT_GT(replacement, 0);
    EXPECT_NE(replacement, worker);
    EXPECT_FALSE(summary(engine, fixtureDrawing(QStringLiteral("mixed_pages.vdx"))).isEmpty());
}

// Past the drawing the program opens next, reads ahead start with the largest file, so that a
// large drawing late in the list does not end the run with one worker busy and the others idle.
TEST(Workers, TheLargestDrawingAheadIsReadFirst) {
    QTemporaryDir dir;
    WorkerSettings settings = testWorkerSettings(true);
    settings.workers = 1;
    Engine engine(settings);
    QStringList paths;
    for (int i = 0; i < 5; ++i)
        paths << writeFile(dir.filePath(QStringLiteral("%1.vsd").arg(i)),
                           "PLEN-TEST-WHEN" + QByteArray(i == 3 ? 4096 : 16, ' '));
    engine.app->Documents()->WillOpen(paths);
    QList<qint64> began;
    for (const QString& path : paths)
        began << raised([&] { engine.app->Documents()->Open(path); }).description().toLongLong();
    // The first, then the largest (the fourth), then the others in order.
    EXPECT_LT(began[0], began[3]);
    for (const int later : {1, 2, 4}) EXPECT_LT(began[3], began[later]) << later;
    EXPECT_LT(began[1], began[2]);
}

// A message is read only as far as its bounds allow; anything else is garbage.
TEST(Workers, MessagesOutOfBoundsAreGarbage) {
    DrawingPage page;
    page.widthInches = 11;
    page.renderedIndex = 0;
    const QByteArray opened = worker::openedFrame({{page}, std::nullopt, {}}).mid(8);
    EXPECT_EQ(worker::readOpened(opened).pages.at(0).widthInches, 11);
    // The renderer's notes: a worker sends its first 1000.
    const QStringList notes(1500, QStringLiteral("Picture of type image/emf ..."));
    EXPECT_EQ(
        worker::readOpened(worker::openedFrame({{page}, std::nullopt, {}, notes}).mid(8)).notes,
        notes.first(1000));
    const auto patched = [&](std::initializer_list<std::pair<qsizetype, char>> bytes) {
        QByteArray frame = opened;
        for (const auto& [at, byte] : bytes) frame[at < 0 ? frame.size() + at : at] = byte;
        return frame;
    };
    const SheetPlan plan({PlannedSheet{1, {}, QPageSize(QPageSize::A4)}}, {}, 1);
    // Cut short, overlong, 2^31 - 1 pages, a rendered index (after flag, sizes, orientation and
    // name) past the rendered pages, 4096 notes (before the flag), a sheet of page 2 of one.
    for (const QByteArray& garbage :
         {opened.chopped(1), QByteArray(opened).append('x'),
          patched({{0, char(0xff)}, {3, char(0x7f)}}), patched({{4 + 4 + 16 + 4 + 4, char(5)}}),
          patched({{-7, char(0x10)}}), worker::openedFrame({{page}, plan, {}}).mid(8)})
        EXPECT_THROW(worker::readOpened(garbage), worker::Garbage) << garbage.toHex().toStdString();

    // A preview names one of its own sheets, or none.
    SheetPreview preview{
        SheetPlan({PlannedSheet{0, QStringLiteral("Floor 2"), QPageSize(QPageSize::A4)}}, {}, 1), 0,
        QByteArray("png")};
    EXPECT_EQ(worker::readPreviewed(worker::previewedFrame(preview).mid(8)).plan, preview.plan);
    preview.shown = 1;
    EXPECT_THROW(worker::readPreviewed(worker::previewedFrame(preview).mid(8)), worker::Garbage);
}

// A worker that a drawing has taken over reaches nothing beyond its reading.
TEST(Workers, AWorkerOpensNoSocketRunsNoProgramAndWritesNoFile) {
    QTemporaryDir dir;
    const QString inherited = writeFile(dir.filePath("inherited"), "the program's");
    const int leaked = ::open(QFile::encodeName(inherited).constData(), O_RDONLY);
    ASSERT_GE(leaked, 0);
    {
        Engine engine(testWorkerSettings(true));
        const QString drawing = writeFile(dir.filePath("escape.vsd"), "PLEN-TEST-ESCAPE");
        const QString denied = QStringLiteral("Operation not permitted");
        EXPECT_EQ(raised([&] { engine.app->Documents()->Open(drawing); }).description(),
                  QStringLiteral("network: %1, local socket: %1, program: %1, process: %1, "
                                 "tracer: %1, write: %1, inherited: closed")
                      .arg(denied));
        EXPECT_FALSE(QFile::exists(drawing + QStringLiteral(".written")));
    }
    ::close(leaked);
}

}  // namespace
}  // namespace pbp::test
