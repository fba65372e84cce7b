#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <tuple>

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
// print, each painted once (as the worker reads it: a repaint would never end), each hostile one
// fails with its reason, the run keeps within its bounds, and no worker and no temporary file
// is left.
TEST(HostileBatch, NinetyGoodDrawingsPrintAndTenHostileOnesFailWithTheirReasons) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const QDir dir(work.path());
    for (const char* folder : {"pdf", "tmp", "runtime", "drawings"}) dir.mkpath(folder);
    QFile::setPermissions(dir.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const auto drawing = [&](const QString& name) { return dir.filePath("drawings/" + name); };
    QByteArray goodBytes = fileBytes(fixtureDrawing(QStringLiteral("mixed_pages.vdx")));
    goodBytes.insert(goodBytes.indexOf("?>") + 2, "<!-- PLEN-TEST-PRINT-HANG -->");

    const QString hog = QStringLiteral("the drawing needed more than 256 MiB of memory to read");
    const QMap<QByteArray, QString> reasons{
        {"PLEN-TEST-CRASH", QStringLiteral("reading the drawing stopped the reader (signal 11)")},
        {"PLEN-TEST-HANG", QStringLiteral("the drawing took longer than 6 s to read")},
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
                                          {"PLENBATCHPRINT_TIME_LIMIT", "6"},
                                          {"PLENBATCHPRINT_MEMORY_LIMIT", "256"},
                                          {"TMPDIR", dir.filePath("tmp")},
                                          {"XDG_RUNTIME_DIR", dir.filePath("runtime")}}});
    // Two hangs of 6 s (a new worker to start after each) and the rest at full speed. The limit
    // leaves the memory hogs time to reach their memory limit on a busy machine.
    EXPECT_LT(timer.elapsed(), 90000);

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

// A silent run waiting for a drawing that never finishes reading is sent SIGTERM, SIGINT or
// SIGHUP: the wait ends at once, the two drawings already sent stay (the CUPS jobs are listed
// for `cancel`), every other entry reads as cancelled, the exit code is 128 + the signal, and
// no worker, temporary file or half-written PDF is left.
TEST(HostileBatch, ASignalCancelsTheRunAtOnceAndLeavesNothingBehind) {
    PLEN_REQUIRE_CUPS_FIXTURE();
    QTemporaryDir work;
    const QDir dir(work.path());
    for (const char* folder : {"tmp", "runtime", "drawings"}) dir.mkpath(folder);
    QFile::setPermissions(dir.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString printer = QStringLiteral("Cancel_Run");
    cups::removePrinter(printer);
    QDir(cups::captureDir(printer)).removeRecursively();
    ASSERT_EQ(cups::addPrinter(printer), QString());
    const QString good = writeFile(dir.filePath("drawings/good.vdx"),
                                   fileBytes(fixtureDrawing(QStringLiteral("mixed_pages.vdx"))));
    const QString hang = writeFile(dir.filePath("drawings/hang.vsd"), "PLEN-TEST-HANG");
    const QStringList entries{good, good, hang, good, good};
    const QString hostileWorker = QStringLiteral(PLEN_HOSTILE_WORKER_EXECUTABLE);

    for (const auto& [signalNumber, target, exitCode] :
         {std::tuple(SIGTERM, printer, 143), std::tuple(SIGINT, QString("PlenBatchPrint PDF"), 130),
          std::tuple(SIGHUP, QString("PlenBatchPrint PDF"), 129)}) {
        const QString pdfDir = dir.filePath(QStringLiteral("pdf%1").arg(signalNumber));
        QProcess process;
        process.setProcessEnvironment(
            programEnvironment({pdfDir,
                                dir.filePath("config"),
                                {{"PLENBATCHPRINT_WORKER", hostileWorker},
                                 {"PLENBATCHPRINT_TIME_LIMIT", "60"},
                                 {"TMPDIR", dir.filePath("tmp")},
                                 {"XDG_RUNTIME_DIR", dir.filePath("runtime")}}}));
        process.start(QStringLiteral(PLEN_EXECUTABLE), QStringList{"-s", "-d", target} + entries);
        QByteArray output;
        while (output.count('\n') < 2 && process.waitForReadyRead(30000))
            output += process.readAllStandardOutput();
        ASSERT_EQ(output.count('\n'), 2) << output.constData();
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(process.processId()), signalNumber);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_LT(timer.elapsed(), 10000) << "the wait for the hanging drawing did not end";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), exitCode);
        const QStringList lines = QString::fromUtf8(output + process.readAllStandardOutput())
                                      .split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 5) << lines.join('\n').toStdString();
        for (int i : {0, 1})
            EXPECT_TRUE(lines[i].startsWith(good + "\tSent to Printer\t" + target))
                << lines[i].toStdString();
        for (int i : {2, 3, 4})
            EXPECT_EQ(lines[i], entries[i] + "\tNot printed: the run was cancelled\t" + target);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        const QRegularExpression queued(
            QStringLiteral("^queued jobs: Cancel_Run-\\d+ Cancel_Run-\\d+$"),
            QRegularExpression::MultilineOption);
        EXPECT_EQ(errors.contains(queued), target == printer) << errors.toStdString();

        const QStringList pdfs = QDir(pdfDir).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(pdfs.size(), target == printer ? 0 : 2) << pdfs.join(' ').toStdString();
        for (const QString& pdf : pdfs) EXPECT_GT(pdfPageCount(QDir(pdfDir).filePath(pdf)), 0);
        EXPECT_TRUE(QDir(dir.filePath("tmp")).isEmpty());
        EXPECT_EQ(
            processesRunning(hostileWorker, "TMPDIR=" + QFile::encodeName(dir.filePath("tmp"))), 0);
    }
    EXPECT_TRUE(cups::waitForJob(printer, 2).has_value());
    EXPECT_EQ(cups::capturedJobs(printer).size(), 2u);
    cups::removePrinter(printer);
}

}  // namespace pbp::test
