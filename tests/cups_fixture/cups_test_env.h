#pragma once

// The private CUPS scheduler that the ctest fixture "cups" runs (cups-fixture.sh), for tests
// that print for real. Suites using it add PROPERTIES FIXTURES_REQUIRED cups.

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QThread>
#include <functional>
#include <optional>

namespace pbp::test::cups {

// The printers the fixture sets up. Capture_B (Generic PDF queue, Letter paper) is the default.
inline const QString kRawPrinter = QStringLiteral("Capture_A");
inline const QString kPdfQueuePrinter = QStringLiteral("Capture_B");
inline const QString kRejectingPrinter = QStringLiteral("Capture_Rejects");
inline const QString kA3Printer = QStringLiteral("Capture_A3");             // A4 default, A3
inline const QString kRawLetterPrinter = QStringLiteral("Capture_Letter");  // media option
inline const QString kDuplexPrinter = QStringLiteral("Capture_Duplex");     // offers "sides"

inline QString fixtureDir() {
    return QStringLiteral(PLEN_TEST_BINARY_DIR "/cups-fixture");
}

// The scheduler's socket, the value for CUPS_SERVER.
inline QString server() {
    return fixtureDir() + QStringLiteral("/cups.sock");
}

inline bool fixtureRunning() {
    return QFileInfo(server()).exists();
}

// Points libcups (and child processes) at `serverName`; libcups caches its server, so the cache
// is reset too.
inline void useServer(const QString& serverName = server()) {
    qputenv("CUPS_SERVER", serverName.toUtf8());
    cupsSetServer(nullptr);
}

// Where the capture backend stores the jobs of `printer`. The name is percent-encoded, since
// it becomes part of the device URI.
inline QString captureDir(const QString& printer) {
    return fixtureDir() + QStringLiteral("/capture/") +
           QString::fromLatin1(printer.toUtf8().toPercentEncoding());
}

// One job as the capture backend saved it.
struct CapturedJob {
    QString documentPath;  // the document as delivered to the device
    QString title;
    int copies = 0;
    QString options;  // the job's options, "name=value" separated by spaces

    bool hasOption(const QString& nameValue) const {
        return options.split(QLatin1Char(' ')).contains(nameValue);
    }
};

// Completed jobs of `printer`, oldest first, as the capture backend saved them.
inline std::vector<CapturedJob> capturedJobs(const QString& printer) {
    std::vector<CapturedJob> jobs;
    const QDir dir(captureDir(printer));
    for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        QMap<QByteArray, QString> fields;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.indexOf('=') > 0)
                fields.insert(line.left(line.indexOf('=')),
                              QString::fromUtf8(line.mid(line.indexOf('=') + 1)));
        jobs.push_back({dir.filePath(name).chopped(4) + QStringLiteral(".doc"),
                        fields.value("title"), fields.value("copies").toInt(),
                        fields.value("options")});
    }
    return jobs;
}

// Waits (at most 15 s) for the first completed job of `printer` that `wanted` picks from the
// jobs so far; nothing when none arrives in time.
inline std::optional<CapturedJob> waitForJobWhere(
    const QString& printer,
    const std::function<std::optional<CapturedJob>(const std::vector<CapturedJob>&)>& wanted) {
    QElapsedTimer timer;
    timer.start();
    do {
        if (auto job = wanted(capturedJobs(printer))) return job;
        QThread::msleep(20);
    } while (timer.elapsed() < 15000);
    return std::nullopt;
}

// The n-th job of `printer` (n from 1). Tests sharing a printer with other test processes
// should rather wait by title.
inline std::optional<CapturedJob> waitForJob(const QString& printer, int n) {
    return waitForJobWhere(printer, [n](const auto& jobs) {
        return int(jobs.size()) >= n ? std::optional(jobs[size_t(n - 1)]) : std::nullopt;
    });
}

inline std::optional<CapturedJob> waitForJobTitled(const QString& printer, const QString& title) {
    return waitForJobWhere(printer, [&](const auto& jobs) -> std::optional<CapturedJob> {
        for (const auto& job : jobs)
            if (job.title == title) return job;
        return std::nullopt;
    });
}

// Runs an administration command against the fixture's scheduler; the error text on failure.
inline QString runAdmin(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), server());
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished();
        return program + QStringLiteral(" did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QStringLiteral(": ") + QString::fromUtf8(process.readAllStandardError());
    return {};
}

// Adds a raw capture printer at run time; empty on success, else the error text. Its jobs land
// in captureDir(name).
inline QString addPrinter(const QString& name) {
    return runAdmin(QStringLiteral("lpadmin"),
                    {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                     QStringLiteral("capture:") + captureDir(name)});
}

// Removes a printer at run time (for "printer removed while the run goes on").
inline QString removePrinter(const QString& name) {
    return runAdmin(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name});
}

}  // namespace pbp::test::cups

// Skips the current test when the fixture's scheduler is not there (test run outside ctest).
#define PLEN_REQUIRE_CUPS_FIXTURE()                                                         \
    do {                                                                                    \
        if (!::pbp::test::cups::fixtureRunning())                                           \
            GTEST_SKIP() << "private CUPS scheduler not running (run through ctest, or "    \
                            "tests/cups_fixture/cups-fixture.sh start build/cups-fixture)"; \
    } while (0)
