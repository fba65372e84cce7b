#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/print_run/program_run.h"

namespace pbp::test {

namespace {

QString openFailed(const QString& path, const QString& reason = {}) {
    QString text = QStringLiteral(
                       "There was a problem attempting to open '%1' This file maybe in "
                       "use by Visio.")
                       .arg(path);
    if (!reason.isEmpty()) text += QStringLiteral(" Error Printing File. Error: ") + reason;
    return text;
}

// Processes still running (or unreaped) the program at `program` with `marker` in their
// environment.
int processesRunning(const QString& program, const QByteArray& marker) {
    int running = 0;
    QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        const QString process = processes.next();
        QFile environment(process + QStringLiteral("/environ"));
        if (QFileInfo(process + QStringLiteral("/exe")).symLinkTarget() == program &&
            environment.open(QIODevice::ReadOnly) && environment.readAll().contains(marker))
            ++running;
    }
    return running;
}

}  // namespace

// 100 drawings, 10 of them hostile (they crash the reader, never finish, take all memory, make
// the reader babble, inflate to 768 MiB, are no drawing or are cut off): the 90 good ones
// print, each hostile one fails with its reason, the run keeps within its bounds, and no
// worker and no temporary file is left.
TEST(HostileBatch, NinetyGoodDrawingsPrintAndTenHostileOnesFailWithTheirReasons) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const QDir dir(work.path());
    for (const char* folder : {"pdf", "tmp", "runtime", "drawings"}) dir.mkpath(folder);
    QFile::setPermissions(dir.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const auto drawing = [&](const QString& name) { return dir.filePath("drawings/" + name); };
    const QByteArray goodBytes = fileBytes(fixtureDrawing(QStringLiteral("mixed_pages.vdx")));

    const QString hog = QStringLiteral("the drawing needed more than 256 MiB of memory to read");
    const QMap<QByteArray, QString> reasons{
        {"PLEN-TEST-CRASH", QStringLiteral("reading the drawing stopped the reader (signal 11)")},
        {"PLEN-TEST-HANG", QStringLiteral("the drawing took longer than 2 s to read")},
        {"PLEN-TEST-HOG", hog},
        {"PLEN-TEST-BABBLE", QStringLiteral("reading the drawing made the reader send nonsense")}};
    QMap<QString, QString> hostile;  // path -> the reason its status must give
    for (const auto& [name, marker] : {std::pair("crash1.vsd", "PLEN-TEST-CRASH"),
                                       {"crash2.vdx", "PLEN-TEST-CRASH"},
                                       {"hang1.vsd", "PLEN-TEST-HANG"},
                                       {"hang2.vsdx", "PLEN-TEST-HANG"},
                                       {"hog1.vsd", "PLEN-TEST-HOG"},
                                       {"hog2.vsd", "PLEN-TEST-HOG"},
                                       {"babble.vsd", "PLEN-TEST-BABBLE"}})
        hostile[writeFile(drawing(name), marker)] = reasons.value(marker);
    hostile[sourceDir() + QStringLiteral("/tests/fixtures/hostile/zip_bomb.vsdx")] = hog;
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919) ^ (i >> 3));
    hostile[writeFile(drawing("garbage.vsd"), garbage)] = QString();
    hostile[writeFile(drawing("cut.vdx"), goodBytes.left(goodBytes.size() / 2))] = QString();

    QStringList entries;
    const QStringList hostilePaths = hostile.keys();
    for (int i = 0, next = 0; i < 100; ++i) {
        if (i % 10 == 3)
            entries << hostilePaths.at(next++);
        else
            entries << writeFile(drawing(QStringLiteral("good%1.vdx").arg(i)), goodBytes);
    }

    const QString hostileWorker = QStringLiteral(PLEN_HOSTILE_WORKER_EXECUTABLE);
    QElapsedTimer timer;
    timer.start();
    QStringList arguments{"-s", "-d", "PlenBatchPrint PDF"};
    const ProgramRun run =
        runProgram(arguments + entries, {dir.filePath("pdf"),
                                         dir.filePath("config"),
                                         {{"PLENBATCHPRINT_WORKER", hostileWorker},
                                          {"PLENBATCHPRINT_TIME_LIMIT", "2"},
                                          {"PLENBATCHPRINT_MEMORY_LIMIT", "256"},
                                          {"TMPDIR", dir.filePath("tmp")},
                                          {"XDG_RUNTIME_DIR", dir.filePath("runtime")}}});
    // Two hangs of 2 s (5 s more each for a new worker to start) and the rest at full speed.
    EXPECT_LT(timer.elapsed(), 60000);

    EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
    ASSERT_EQ(run.lines.size(), 100) << run.errors.toStdString();
    for (const QString& entry : entries) {
        if (hostile.value(entry).isEmpty() && hostile.contains(entry))  // the engine's reason
            EXPECT_TRUE(run.status.value(entry).startsWith(openFailed(entry) + QLatin1Char(' ')))
                << run.status.value(entry).toStdString();
        else if (hostile.contains(entry))
            EXPECT_EQ(run.status.value(entry), openFailed(entry, hostile.value(entry)))
                << run.status.value(entry).toStdString();
        else
            EXPECT_EQ(run.status.value(entry), QStringLiteral("Sent to Printer"))
                << entry.toStdString();
    }
    EXPECT_EQ(QDir(dir.filePath("pdf")).entryList(QDir::Files | QDir::Hidden).size(), 90);
    EXPECT_TRUE(QDir(dir.filePath("tmp")).isEmpty());
    EXPECT_EQ(processesRunning(hostileWorker, "TMPDIR=" + QFile::encodeName(dir.filePath("tmp"))),
              0);
}

}  // namespace pbp::test
