#include <gtest/gtest.h>

#include <unistd.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>

#include "printing/run/kept_printer_choices.h"
#include "support/mod_registry_api.h"
#include "tests/common/fake_platform.h"
#include "tests/print_run/program_run.h"

// The built program started as a script would start it, on a machine without a display,
// against the private CUPS scheduler; one test per promise a script relies on.

namespace pbp::test {

namespace {
const QString kPdfPrinter = QStringLiteral("PlenBatchPrint PDF");
const QString kSent = QStringLiteral("Sent to Printer");

// A settings file in `configDir` that remembers `printer`, as the window leaves it.
void rememberPrinter(const QString& configDir, const QString& printer) {
    ScopedFakePlatform fake;
    fake.get().registryFile = configDir + QStringLiteral("/PlenBatchPrint/settings.ini");
    EnsureRegistryValue(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("DefaultPrinter"), {});
    WriteRegistryString(HKEY_CURRENT_USER, kSettingsKey, QStringLiteral("DefaultPrinter"), printer);
}

class Unattended : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!cups::fixtureRunning()) GTEST_SKIP() << "private CUPS scheduler not running";
        setting = {
            work.filePath(QStringLiteral("pdf")), work.filePath(QStringLiteral("config")), {}};
    }
    // Other suites list the scheduler's printers: the test's own go when it ends.
    void TearDown() override {
        for (const QString& printer : ownPrinters) cups::removePrinter(printer);
    }
    // A capture printer of the test's own, empty, so that its job count is the test's.
    QString freshPrinter(const QString& name) {
        cups::removePrinter(name);
        QDir(cups::captureDir(name)).removeRecursively();
        EXPECT_EQ(cups::addPrinter(name), QString());
        ownPrinters << name;
        return name;
    }
    ProgramRun run(const QStringList& arguments) { return runProgram(arguments, setting); }
    QStringList pdfs() const { return QDir(setting.pdfDir).entryList({"*.pdf"}, QDir::Files); }

    QTemporaryDir work;
    ProgramSetting setting;
    QStringList ownPrinters;
    const QString drawing = fixtureDrawing(QStringLiteral("mixed_pages.vdx"));
};
}  // namespace

TEST_F(Unattended, LinuxCommandLineHelpsListsAndPrintsEachArgumentAsOneDrawing) {
    const ProgramRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.lines.join('\n').contains("--copies <N>")) << help.lines.join('\n').data();
    const ProgramRun version = run({QStringLiteral("-v")});
    EXPECT_EQ(version.lines, QStringList{QStringLiteral("PlenBatchPrint 11.0.1088")});
    const ProgramRun wrong = run({QStringLiteral("--copies=many"), drawing});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.errors.contains("--copies")) << wrong.errors.toStdString();
    const ProgramRun empty = run({QStringLiteral("-s")});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_TRUE(empty.errors.contains("There are no documents selected to print."));

    const ProgramRun list = run({QStringLiteral("--list-printers")});
    EXPECT_EQ(list.exitCode, 0);
    const QString listed = list.lines.join('\n');
    EXPECT_TRUE(listed.contains(
        QRegularExpression("^Capture_B\t.*\tidle\tdefault$", QRegularExpression::MultilineOption)))
        << listed.toStdString();
    EXPECT_TRUE(listed.contains(QRegularExpression("^Capture_Rejects\t.*\tidle, rejecting jobs.*$",
                                                   QRegularExpression::MultilineOption)));
    EXPECT_TRUE(list.lines.contains("PlenBatchPrint PDF\tSaves each drawing as a PDF file in " +
                                    setting.pdfDir + "\tidle"));

    const ProgramRun longList = run({QStringLiteral("--list-printers"), QStringLiteral("--long")});
    const QString options = longList.lines.join('\n');
    EXPECT_TRUE(options.contains("Capture_Duplex\t") &&
                options.contains("\n  sides: *one-sided two-sided-long-edge two-sided-short-edge"))
        << options.toStdString();
    EXPECT_TRUE(options.endsWith("PlenBatchPrint PDF\tSaves each drawing as a PDF file in " +
                                 setting.pdfDir +
                                 "\tidle\n  media: *iso_a4_210x297mm "
                                 "iso_a3_297x420mm iso_a5_148x210mm na_letter_8.5x11in "
                                 "na_legal_8.5x14in na_ledger_11x17in"))
        << options.toStdString();
    const ProgramRun badOption = run({"-s", "-o", "sides", drawing});
    EXPECT_EQ(badOption.exitCode, 2);
    EXPECT_TRUE(badOption.errors.contains("-o takes NAME=VALUE")) << badOption.errors.toStdString();

    const QString printer = freshPrinter(QStringLiteral("Unattended_Linux"));
    const QString spaced = work.filePath(QStringLiteral("b c.vdx"));
    ASSERT_TRUE(QFile::copy(drawing, spaced));
    const ProgramRun printed =
        run({"-s", "-d", printer, "-n", "2", "--first-page", drawing, spaced});
    EXPECT_EQ(printed.exitCode, 0) << printed.errors.toStdString();
    EXPECT_EQ(printed.lines, QStringList({drawing + "\t" + kSent + "\t" + printer,
                                          spaced + "\t" + kSent + "\t" + printer}));
    const auto second = cups::waitForJob(printer, 2);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(std::pair(second->copies, pdfPageCount(second->documentPath)), std::pair(2, 1));
}

// A named printer wins, else the remembered one when it is installed, else the default; an
// lpoptions instance is a printer of its own with its options, named or as the default.
TEST_F(Unattended, PrinterIsTheNamedElseTheRememberedElseTheDefaultWithLpInstances) {
    const QString remembered = freshPrinter(QStringLiteral("Unattended_Remembered"));
    const QString asked = freshPrinter(QStringLiteral("Unattended_Asked"));
    rememberPrinter(setting.configDir, remembered);
    setting.environment.insert(QStringLiteral("LPDEST"), asked);
    setting.environment.insert(QStringLiteral("HOME"), work.filePath(QStringLiteral("home")));
    const QString instance = asked + QStringLiteral("/two");
    writeFile(work.filePath(QStringLiteral("home/.cups/lpoptions")),
              "Dest " + instance.toUtf8() + " copies=2\n");

    const ProgramRun classic = run({"/silent", "/printer=" + asked, "/file=" + drawing});
    EXPECT_EQ(classic.exitCode, 0);
    EXPECT_EQ(classic.lines, QStringList{drawing + "\t" + kSent + "\t" + asked});
    EXPECT_TRUE(cups::waitForJob(asked, 1).has_value());

    const ProgramRun missing = run({"-s", "-d", "nosuch", "--summary", drawing, drawing});
    EXPECT_EQ(missing.exitCode, 1);
    ASSERT_EQ(missing.lines.size(), 2);
    EXPECT_EQ(missing.status.value(drawing),
              "Error Printing File. Error: The printer 'nosuch' is not installed.");
    EXPECT_TRUE(missing.lines[0].endsWith("\tnosuch"));

    const ProgramRun empty = run({"-s", "-d", "", drawing});  // "-d $UNSET"
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_TRUE(empty.errors.contains("empty")) << empty.errors.toStdString();

    const ProgramRun unnamed = run({"-s", drawing});
    EXPECT_EQ(unnamed.lines, QStringList{drawing + "\t" + kSent + "\t" + remembered});
    EXPECT_TRUE(cups::waitForJob(remembered, 1).has_value());

    rememberPrinter(setting.configDir, QStringLiteral("Unattended_Gone"));
    EXPECT_EQ(run({"-s", drawing}).lines, QStringList{drawing + "\t" + kSent + "\t" + asked});
    EXPECT_EQ(run({"-s", "-d", instance, drawing}).lines,
              QStringList{drawing + "\t" + kSent + "\t" + instance});
    setting.environment.insert(QStringLiteral("LPDEST"), instance);
    EXPECT_EQ(run({"-s", drawing}).lines, QStringList{drawing + "\t" + kSent + "\t" + instance});

    std::vector<int> copies;
    for (int n = 1; n <= 4; ++n) {
        const auto job = cups::waitForJob(asked, n);
        copies.push_back(job ? job->copies : 0);
    }
    EXPECT_EQ(copies, (std::vector{1, 1, 2, 2}));
    EXPECT_EQ(cups::capturedJobs(remembered).size(), 1u);  // nothing of the failed runs
    EXPECT_TRUE(pdfs().isEmpty());
}

TEST_F(Unattended, CopiesAreLeftToCupsUnlessTheCommandLineGivesThem) {
    const QString printer = freshPrinter(QStringLiteral("Unattended_Copies"));
    setting.environment.insert(QStringLiteral("HOME"), work.filePath(QStringLiteral("home")));
    writeFile(work.filePath(QStringLiteral("home/.cups/lpoptions")),
              "Dest " + printer.toUtf8() + " copies=3\n");
    EXPECT_EQ(run({"-s", "-d", printer, drawing}).exitCode, 0);  // lpoptions
    EXPECT_EQ(run({"-s", "-d", printer, "-n", "2", drawing}).exitCode, 0);
    QFile::remove(work.filePath(QStringLiteral("home/.cups/lpoptions")));
    ASSERT_EQ(cups::runAdmin("lpadmin", {"-p", printer, "-o", "copies-default=4"}), QString());
    EXPECT_EQ(run({"/silent", "/printer=" + printer, "/file=" + drawing}).exitCode, 0);

    std::vector<int> copies;
    for (int n = 1; n <= 3; ++n) {
        const auto job = cups::waitForJob(printer, n);
        copies.push_back(job ? job->copies : 0);
    }
    EXPECT_EQ(copies, (std::vector{3, 2, 4}));
}

TEST_F(Unattended, DashOOverKeptChoicesReachesEveryJobAndAChosenPaperWins) {
    const QString titled = work.filePath(QStringLiteral("unattended duplex %1.vdx").arg(getpid()));
    ASSERT_TRUE(QFile::copy(drawing, titled));
    {
        ScopedFakePlatform fake;
        fake.get().registryFile = setting.configDir + "/PlenBatchPrint/settings.ini";
        KeepPrinterChoices(cups::kDuplexPrinter,
                           {{"print-color-mode", "color"}, {"sides", "one-sided"}});
    }
    const ProgramRun printed = run(
        {"-s", "-d", cups::kDuplexPrinter, "-o", "sides=two-sided-long-edge", "--summary", titled});
    EXPECT_EQ(printed.exitCode, 0) << printed.errors.toStdString();
    const QString title = QFileInfo(titled).fileName();
    const auto job = cups::waitForJobTitled(cups::kDuplexPrinter, title);
    ASSERT_TRUE(job.has_value());
    const auto jobs = cups::capturedJobs(cups::kDuplexPrinter);
    const auto drawingJob = std::find_if(jobs.begin(), jobs.end(),
                                         [&](const auto& each) { return each.title == title; });
    ASSERT_NE(drawingJob, jobs.begin());
    const cups::CapturedJob& summary = *std::prev(drawingJob);  // printed first
    EXPECT_EQ(summary.title, QStringLiteral("PlenBatchPrint Summary"));
    for (const cups::CapturedJob& each : {*job, summary})
        for (const char* option :
             {"sides=two-sided-long-edge", "Duplex=DuplexNoTumble", "print-color-mode=color"})
            EXPECT_TRUE(each.hasOption(option))
                << option << " not in " << each.options.toStdString();

    const ProgramRun pdf = run({"-s", "-d", kPdfPrinter, "-o", "media=iso_a3_297x420mm", drawing});
    EXPECT_EQ(pdf.exitCode, 0) << pdf.errors.toStdString();
    ASSERT_EQ(pdfs().size(), 1);
    for (const QSizeF& sheet : pdfSheetSizes(QDir(setting.pdfDir).filePath(pdfs().first())))
        EXPECT_NEAR(sheet.width() * sheet.height(), 842.0 * 1191.0, 2000.0);
}

TEST_F(Unattended, JobFileIsDeletedAfterTheRunOnlyWhenEveryDrawingWasSent) {
    const auto job = [&](const QString& name, const QStringList& drawings) {
        QByteArray xml = "<PlenBatchPrintJob DeleteJobFileWhenComplete=\"true\">";
        for (const QString& path : drawings)
            xml += "<PlenBatchPrintItem Filename=\"" + path.toUtf8() + "\"/>";
        return writeFile(work.filePath(name), xml + "</PlenBatchPrintJob>");
    };
    const QString done = job(QStringLiteral("done.xml"), {drawing, drawing});
    const ProgramRun sent = run({"-s", "-d", kPdfPrinter, "-j", done});
    EXPECT_EQ(sent.exitCode, 0);
    EXPECT_FALSE(QFile::exists(done));

    const QString halfDone =
        job(QStringLiteral("half.xml"), {drawing, work.filePath(QStringLiteral("gone.vsd"))});
    const ProgramRun half = run({"/silent", "/printer=" + kPdfPrinter, "/batchjob=" + halfDone});
    EXPECT_EQ(half.exitCode, 1);
    EXPECT_TRUE(QFile::exists(halfDone));
    EXPECT_TRUE(half.errors.contains("was kept: 1 of its 2 drawing(s) were not sent"))
        << half.errors.toStdString();

    const QString refused = job(QStringLiteral("refused.xml"), {drawing});
    EXPECT_EQ(run({"-s", "-d", cups::kRejectingPrinter, "-j", refused}).exitCode, 1);
    EXPECT_TRUE(QFile::exists(refused));

    // A hot folder's next job replaces the job file while the run prints: the new one stays.
    const QString hot = job(QStringLiteral("hot.xml"), QStringList(150, drawing));
    QProcess process;
    process.setProcessEnvironment(programEnvironment(setting));
    process.start(QStringLiteral(PLEN_EXECUTABLE), {"-s", "-d", "PlenBatchPrint PDF", "-j", hot});
    ASSERT_TRUE(process.waitForReadyRead(60000));
    const QString next = job(QStringLiteral("next.xml"), {drawing});
    ASSERT_TRUE(QFile::remove(hot) && QFile::rename(next, hot));
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(hot));
    EXPECT_TRUE(
        process.readAllStandardError().contains("was replaced or changed after it was read"));
}

TEST_F(Unattended, SilentRunPrintsWithAnUnwritableOrDamagedSettingsStoreAndSavesNothing) {
    // The settings file damaged, and an old registry.json beside one that is missing.
    for (const char* name : {"settings.ini", "registry.json"}) {
        const QString damaged = setting.configDir + QStringLiteral("/PlenBatchPrint/") + name;
        writeFile(damaged, "{ not json");
        EXPECT_EQ(run({"-s", "-d", kPdfPrinter, drawing}).exitCode, 0);
        EXPECT_EQ(fileBytes(damaged), QByteArray("{ not json"));
        EXPECT_FALSE(QFile::exists(damaged + QStringLiteral(".damaged")));
        QFile::remove(damaged);
    }

    // A settings folder that cannot be made: its parent is a file (root may write anywhere).
    setting.configDir = work.filePath(QStringLiteral("a file"));
    writeFile(setting.configDir, "x");
    const ProgramRun unwritable = run({"/silent", "/printer=" + kPdfPrinter, "/file=" + drawing});
    EXPECT_EQ(unwritable.exitCode, 0) << unwritable.errors.toStdString();
    EXPECT_EQ(pdfs().size(), 3);
}

// No display at all, then an X display and a Wayland socket that are both gone.
TEST_F(Unattended, WithoutAReachableDisplayASilentRunPrintsAndTheWindowIsRefusedClearly) {
    setting.environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), work.path());
    for (const auto& [variable, value, problem] :
         {std::tuple("", "", "no display"), std::tuple("DISPLAY", ":97", "cannot be reached"),
          std::tuple("WAYLAND_DISPLAY", "gone-wayland-0", "cannot be reached")}) {
        if (*variable) setting.environment.insert(variable, value);
        const ProgramRun silent = run({"/silent", "/printer=" + kPdfPrinter, "/file=" + drawing});
        EXPECT_EQ(silent.exitCode, 0) << variable << silent.errors.toStdString();
        EXPECT_EQ(silent.lines.size(), 1);
        const ProgramRun window = run({drawing});
        EXPECT_EQ(window.exitCode, 3) << variable;
        EXPECT_TRUE(window.errors.contains(problem)) << window.errors.toStdString();
    }
}

// A display that takes the connection and never answers, and a Wayland display without Qt's
// Wayland plugin: a silent run prints offscreen, a window start gives up within its deadline.
// Cron's environment has no XDG_RUNTIME_DIR, and Qt's warning about it stays out of stderr.
TEST_F(Unattended, DisplaysThatHangOrCannotBeUsedNeitherHoldNorAbortARun) {
    setting.environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString());
    const ProgramRun cron = run({"-s", "-d", kPdfPrinter, drawing});
    EXPECT_EQ(cron.exitCode, 0);
    EXPECT_FALSE(cron.errors.contains("XDG_RUNTIME_DIR")) << cron.errors.toStdString();

    // An X display number nobody uses: libxcb connects to its abstract socket first.
    std::unique_ptr<SilentSocket> x;
    int display = 6000 + ::getpid() % 2000;
    for (; !x || !x->listening(); ++display)
        x = std::make_unique<SilentSocket>(QStringLiteral("@/tmp/.X11-unix/X%1").arg(display));
    const SilentSocket wayland(work.filePath(QStringLiteral("wayland-hangs")));
    ASSERT_TRUE(wayland.listening());
    // Qt's platform plugins without Wayland's, as where qt6-wayland is not installed.
    const QString plugins = work.filePath(QStringLiteral("platforms"));
    QDir().mkpath(plugins);
    for (const char* plugin : {"libqxcb.so", "libqoffscreen.so"})
        QFile::link(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/" + plugin,
                    plugins + '/' + plugin);
    for (const auto& [variable, value, problem] :
         {std::tuple("DISPLAY", QStringLiteral(":%1").arg(display - 1), "does not answer"),
          std::tuple("WAYLAND_DISPLAY", wayland.path(), "qt6-wayland")}) {
        setting.environment = {{variable, value},
                               {QStringLiteral("QT_QPA_PLATFORM_PLUGIN_PATH"), plugins}};
        const ProgramRun silent = run({"-s", "-d", kPdfPrinter, drawing});
        EXPECT_EQ(silent.exitCode, 0) << variable << silent.errors.toStdString();
        EXPECT_EQ(silent.lines.size(), 1);
        const ProgramRun window = run({drawing});
        EXPECT_EQ(window.exitCode, 3) << variable;
        EXPECT_TRUE(window.errors.contains(problem)) << window.errors.toStdString();
        EXPECT_LT(window.milliseconds, 15000);
    }
}

// A scheduler that takes connections but never answers (stopped, or hung) and one that is not
// there: the run waits at most its time limit once, and every entry names the cause.
TEST_F(Unattended, AStoppedOrMissingSchedulerIsNamedAndWaitedForOnce) {
    const SilentSocket stopped(work.filePath(QStringLiteral("stopped.sock")));
    ASSERT_TRUE(stopped.listening());
    for (const auto& [server, problem] :
         {std::pair(stopped.path(), "does not answer (waited 2 s)"),
          std::pair(work.filePath(QStringLiteral("none.sock")), "cannot be reached")}) {
        setting.environment.insert(QStringLiteral("CUPS_SERVER"), server);
        const ProgramRun down =
            run({"-s", "-d", cups::kRawPrinter, "--time-limit", "2", drawing, drawing});
        EXPECT_EQ(down.exitCode, 1);
        ASSERT_EQ(down.lines.size(), 2) << down.errors.toStdString();
        EXPECT_TRUE(
            down.status.value(drawing).contains("the print scheduler at " + server + " " + problem))
            << down.status.value(drawing).toStdString();
        EXPECT_LT(down.milliseconds, 20000);
    }
}

// A scheduler of the test's own, stopped with SIGSTOP once the first drawing was sent: the
// rest of the run waits for it once and every entry still gets its line.
TEST_F(Unattended, ASchedulerStoppedMidRunCostsOneDeadlineAndEveryEntryItsLine) {
    const QString script = sourceDir() + QStringLiteral("/tests/cups_fixture/cups-fixture.sh");
    const QString dir = work.filePath(QStringLiteral("cups"));
    struct Scheduler {
        QString script, dir;
        qint64 pid = 0;
        ~Scheduler() {
            if (pid > 0) ::kill(pid_t(pid), SIGCONT);
            QProcess::execute(script, {QStringLiteral("stop"), dir});
        }
    } scheduler{script, dir};
    ASSERT_EQ(QProcess::execute(script, {QStringLiteral("start"), dir}), 0);
    const qint64 pid = fileBytes(dir + QStringLiteral("/cupsd.pid")).trimmed().toLongLong();
    ASSERT_GT(pid, 0);

    setting.environment.insert(QStringLiteral("CUPS_SERVER"), dir + QStringLiteral("/cups.sock"));
    QStringList arguments{"-s", "-d", cups::kRawPrinter, "--time-limit", "2"};
    for (int i = 0; i < 200; ++i) arguments << drawing;
    QProcess process;
    process.setProcessEnvironment(programEnvironment(setting));
    process.start(QStringLiteral(PLEN_EXECUTABLE), arguments);
    ASSERT_TRUE(process.waitForReadyRead(60000));
    scheduler.pid = pid;
    ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0);
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_LT(timer.elapsed(), 30000);
    EXPECT_EQ(process.exitCode(), 1);
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 200);
    EXPECT_TRUE(lines.first().endsWith(kSent + "\t" + cups::kRawPrinter));
    EXPECT_TRUE(lines.last().contains("does not answer (waited 2 s)"))
        << lines.last().toStdString();
}

// A drawing reader that is missing, and one that meets its memory limit inside a library that
// aborts or crashes instead of reporting it: the message names the cause, not "signal 6".
TEST_F(Unattended, AMissingReaderAndTheMemoryLimitAreNamed) {
    const ProgramRun low = run({"-s", "-d", kPdfPrinter, "--memory-limit", "64", drawing});
    EXPECT_EQ(low.exitCode, 1);
    EXPECT_TRUE(low.status.value(drawing).endsWith("needed more than 64 MiB of memory to read"))
        << low.status.value(drawing).toStdString();

    const QString missing = work.filePath(QStringLiteral("libexec/plenbatchprint-worker"));
    setting.environment.insert(QStringLiteral("PLENBATCHPRINT_WORKER"), missing);
    const ProgramRun none = run({"-s", "-d", kPdfPrinter, drawing});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.errors.contains("'" + missing + "' cannot be run: No such file"))
        << none.errors.toStdString();
}

// A file name cannot split or add report lines, the documented shell reader gives it back, and
// a report that cannot be written is said so, with exit code 2, after every drawing printed.
TEST_F(Unattended, ReportLinesCannotBeForgedOrLostUnnoticed) {
    const QString forged =
        work.filePath(QStringLiteral("a\tSent to Printer\tx\nforged.vdx\tSent\\n \x01.vdx"));
    ASSERT_TRUE(QFile::copy(drawing, forged));
    const ProgramRun report = run({"-s", "-d", kPdfPrinter, forged});
    EXPECT_EQ(report.exitCode, 0);
    ASSERT_EQ(report.lines.size(), 1);
    EXPECT_EQ(report.lines[0].count('\t'), 3);
    QProcess reader;
    reader.start(QStringLiteral("bash"),
                 {"-c", "IFS=$'\\t' read -r path status rest; printf '%b' \"$path\""});
    reader.write(report.lines[0].toUtf8() + '\n');
    reader.closeWriteChannel();
    ASSERT_TRUE(reader.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(reader.readAllStandardOutput()), forged);

    QProcess full;
    full.setProcessEnvironment(programEnvironment(setting));
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(QStringLiteral(PLEN_EXECUTABLE), {"-s", "-d", kPdfPrinter, drawing, drawing});
    ASSERT_TRUE(full.waitForFinished(120000));
    EXPECT_EQ(full.exitCode(), 2);
    EXPECT_TRUE(full.readAllStandardError().contains("write error: No space left on device"));
    EXPECT_EQ(pdfs().size(), 3);

    // A name that is not UTF-8 (Latin-1 "\xe9") is said so, with its bytes, not "missing".
    QProcess latin1;
    latin1.setProcessEnvironment(programEnvironment(setting));
    latin1.start(QStringLiteral("bash"),
                 {"-c", "exec \"$0\" -s -d \"$1\" \"$(printf 'caf\\351.vdx')\"",
                  QStringLiteral(PLEN_EXECUTABLE), kPdfPrinter});
    ASSERT_TRUE(latin1.waitForFinished(60000));
    EXPECT_EQ(latin1.exitCode(), 1);
    EXPECT_TRUE(latin1.readAllStandardError().contains("argument 'caf\\xe9.vdx' is not UTF-8"));
    EXPECT_TRUE(latin1.readAllStandardOutput().contains("cannot be decoded: it is not UTF-8"));
}

TEST_F(Unattended, EachLineIsWrittenAsItsEntryFinishes) {
    QStringList arguments{"-s", "-d", kPdfPrinter};
    for (int i = 0; i < 2000; ++i) arguments << drawing;
    QProcess process;
    process.setProcessEnvironment(programEnvironment(setting));
    process.start(QStringLiteral(PLEN_EXECUTABLE), arguments);
    ASSERT_TRUE(process.waitForReadyRead(60000));
    const bool stillRunning = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished();
    const QString first = QString::fromUtf8(process.readAllStandardOutput()).section('\n', 0, 0);
    EXPECT_TRUE(stillRunning);
    EXPECT_TRUE(first.startsWith(drawing + "\t" + kSent + "\t" + kPdfPrinter + "\t"))
        << first.toStdString();
}

TEST_F(Unattended, BadInputGetsHonestStatusesAndTheGoodDrawingPrintsWithPagesTurned) {
    const QString good = work.filePath("Ordner mit Leerzeichen/Zeichnüng ä.vdx");
    const QString missing = work.filePath("missing.vsd");
    const QString folder = work.filePath("folder.vsd");
    const QString notADrawing = fixtureDrawing(QStringLiteral("not_a_drawing.vsdx"));
    const QString background = fixtureDrawing(QStringLiteral("only_background.vdx"));
    const QString badPictures = fixtureDrawing(QStringLiteral("bad_pictures.vdx"));
    const QString badText = fixtureDrawing(QStringLiteral("text_box.vdx"));
    QDir().mkpath(QFileInfo(good).path());
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::copy(drawing, good));

    QStringList arguments{"/silent", "/printer=" + kPdfPrinter};
    for (const QString& path :
         {missing, folder, notADrawing, background, badPictures, badText, good})
        arguments << "/file=" + path;
    const ProgramRun silent = run(arguments);
    EXPECT_EQ(silent.exitCode, 1) << silent.errors.toStdString();
    ASSERT_EQ(silent.lines.size(), 7) << silent.lines.join('\n').toStdString();
    // The classic text, then the engine's reason.
    for (const auto& [unreadable, reason] :
         {std::pair(missing, "The drawing '%1' does not exist."),
          std::pair(folder, "'%1' is a folder, not a drawing."),
          std::pair(notADrawing, "'%1' is a package but not a Visio drawing.")})
        EXPECT_EQ(silent.status.value(unreadable),
                  QStringLiteral("There was a problem attempting to open '%1' This file maybe in "
                                 "use by Visio. ")
                          .arg(unreadable) +
                      QString::fromLatin1(reason).arg(unreadable));
    EXPECT_EQ(silent.status.value(background),
              QStringLiteral("Not Printed! Drawing only contains background pages."));

    // Three pictures that cannot be drawn leave their boxes empty, two texts print with
    // characters missing: the drawings are sent, and standard error says what is missing.
    EXPECT_EQ(silent.status.value(badPictures), kSent);
    EXPECT_TRUE(silent.errors.contains(badPictures + ": 3 pictures could not be drawn.\n"))
        << silent.errors.toStdString();
    EXPECT_EQ(silent.status.value(badText), kSent);
    EXPECT_TRUE(silent.errors.contains(badText + ": 2 text runs could not be drawn.\n"));

    const QStringList goodPdfs = pdfs().filter(QStringLiteral("Zeichnüng ä"));
    ASSERT_EQ(goodPdfs.size(), 1) << pdfs().join(' ').toStdString();
    const QString pdf = setting.pdfDir + '/' + goodPdfs[0];
    EXPECT_TRUE(silent.lines.contains(good + '\t' + kSent + '\t' + kPdfPrinter + '\t' + pdf));
    const std::vector<QSizeF> sheets = pdfSheetSizes(pdf);
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_LT(sheets[0].width(), sheets[0].height());
    EXPECT_GT(sheets[1].width(), sheets[1].height());  // a wide page set to print upright

    // Under a German locale the steps on standard error are German, the report is the same.
    const QString englishPdfDir = setting.pdfDir;
    setting.pdfDir = work.filePath(QStringLiteral("pdf_de"));
    setting.environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    setting.environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    const ProgramRun german = run(arguments);
    EXPECT_EQ(german.exitCode, silent.exitCode);
    EXPECT_TRUE(german.errors.contains(QStringLiteral("Drucke Datei (7 von 7)")))
        << german.errors.toStdString();
    EXPECT_EQ(german.lines.join('\n').replace(setting.pdfDir, englishPdfDir),
              silent.lines.join('\n'));
}

TEST_F(Unattended, SharedDrawingsPrintAndTheExitCodeMatchesTheStatuses) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    QStringList arguments{"-s", "-d", kPdfPrinter};
    for (const char* folder : {"vdx", "vsd", "vsdx", "real"}) {
        const QDir dir(sharedTestDataDir() + '/' + folder);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            arguments << dir.filePath(name);
    }
    const ProgramRun shared = run(arguments);
    ASSERT_EQ(shared.lines.size(), arguments.size() - 3) << shared.errors.toStdString();
    const qsizetype sent = shared.status.values().count(kSent);
    EXPECT_GE(sent, shared.lines.size() - 2) << shared.lines.join('\n').toStdString();
    EXPECT_EQ(shared.exitCode, sent == shared.lines.size() ? 0 : 1);
    EXPECT_EQ(pdfs().size(), sent);
    const QStringList text = pdfs().filter(QStringLiteral("text_tests"));
    ASSERT_EQ(text.size(), 1);
    EXPECT_EQ(pdfPageCount(setting.pdfDir + '/' + text[0]), 5);
    // Of the embedded objects, the one without a preview is left out, and said so.
    EXPECT_TRUE(shared.errors.contains("visio_with_embeded.vsd: 1 object could not be drawn.\n"))
        << shared.errors.toStdString();
}

namespace {
// One outline entry read back with libqpdf: its title, the 1-based page it opens, its children.
struct ReadOutline {
    QString title;
    int page = 0;
    std::vector<ReadOutline> kids;
};

std::vector<ReadOutline> readOutline(std::vector<QPDFOutlineObjectHelper> items,
                                     const std::vector<QPDFPageObjectHelper>& pages) {
    std::vector<ReadOutline> read;
    for (QPDFOutlineObjectHelper& item : items) {
        const QPDFObjGen target = item.getDestPage().getObjGen();
        const auto at = std::find_if(pages.begin(), pages.end(), [&](const auto& page) {
            return page.getObjectHandle().getObjGen() == target;
        });
        read.push_back({QString::fromStdString(item.getTitle()), int(at - pages.begin()) + 1,
                        readOutline(item.getKids(), pages)});
    }
    return read;
}

std::vector<ReadOutline> outlineOf(const QString& pdfPath) {
    QPDF pdf;
    pdf.processFile(QFile::encodeName(pdfPath).constData());
    return readOutline(QPDFOutlineDocumentHelper(pdf).getTopLevelOutlines(),
                       QPDFPageDocumentHelper(pdf).getAllPages());
}
}  // namespace

// --output: the summary page and every sheet of the drawings that printed, in list order, on
// the papers they get on their own, with an outline of files and page names; a drawing that
// fails adds nothing, and a file that cannot or need not be written is left as it was.
TEST_F(Unattended, OutputJoinsTheRunIntoOnePdfWithAnOutlineOfDrawingsAndPages) {
    PLEN_REQUIRE_SHARED_TESTDATA();
    const QString vsd = fixtureDrawing(QStringLiteral("document_paper.vsd"));
    const QString broken = fixtureDrawing(QStringLiteral("not_a_drawing.vsdx"));
    const QString vsdx = sharedTestDataDir() + QStringLiteral("/vsdx/color-boxes.vsdx");
    const QString all = work.filePath(QStringLiteral("all.pdf"));
    const ProgramRun joined =
        run({"-s", "--summary=Set", "--output", all, vsd, drawing, broken, vsdx});
    EXPECT_EQ(joined.exitCode, 1) << joined.errors.toStdString();
    ASSERT_EQ(joined.lines.size(), 4) << joined.lines.join('\n').toStdString();
    for (const QString& sent : {vsd, drawing, vsdx})
        EXPECT_TRUE(joined.lines.contains(sent + '\t' + kSent + '\t' + kPdfPrinter + '\t' + all))
            << joined.lines.join('\n').toStdString();
    EXPECT_TRUE(pdfs().isEmpty());
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"all.pdf"});

    // The same sheets as each drawing printed on its own.
    const ProgramRun separate = run({"-s", "-d", kPdfPrinter, vsd, drawing, vsdx});
    ASSERT_EQ(separate.exitCode, 0) << separate.errors.toStdString();
    std::vector<QSizeF> expected{pdfSheetSizes(all).front()};
    std::vector<int> firstPages;
    for (const char* name :
         {"document_paper.vsd.pdf", "mixed_pages.vdx.pdf", "color-boxes.vsdx.pdf"}) {
        firstPages.push_back(int(expected.size()) + 1);
        for (const QSizeF& size : pdfSheetSizes(setting.pdfDir + '/' + name))
            expected.push_back(size);
    }
    EXPECT_EQ(pdfSheetSizes(all), expected);
    // The joined sheets keep their text and fonts: the summary's header, a drawing's label.
    const QString text = pdfText(all);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Set")) && text.contains("Landscape page"))
        << text.toStdString();

    const std::vector<ReadOutline> outline = outlineOf(all);
    ASSERT_EQ(outline.size(), 4u);
    EXPECT_EQ(std::pair(outline[0].title, outline[0].page),
              std::pair(QStringLiteral("PlenBatchPrint Summary"), 1));
    const QStringList titles{"document_paper.vsd", "mixed_pages.vdx", "color-boxes.vsdx"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::pair(outline[size_t(i + 1)].title, outline[size_t(i + 1)].page),
                  std::pair(titles[i], firstPages[size_t(i)]));
    QStringList mixedPages;
    for (const ReadOutline& page : outline[2].kids) mixedPages << page.title;
    EXPECT_EQ(mixedPages, QStringList({"Portrait", "Wide", "Poster"}));
    EXPECT_EQ(outline[2].kids[1].page, firstPages[1] + 1);
    ASSERT_EQ(outline[3].kids.size(), 1u);
    EXPECT_EQ(outline[3].kids[0].title, QStringLiteral("Page-1"));

    // Nothing printed: the file keeps what it held. A folder that does not exist stops the run
    // before any drawing is read.
    writeFile(all, "kept");
    const ProgramRun none = run({"-s", "--output", all, broken});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.errors.contains("was not written: no drawing was printed"))
        << none.errors.toStdString();
    EXPECT_EQ(fileBytes(all), QByteArray("kept"));
    const ProgramRun nowhere = run({"-s", "--output", work.filePath("missing/all.pdf"), vsd});
    EXPECT_EQ(nowhere.exitCode, 2);
    EXPECT_TRUE(nowhere.lines.isEmpty());
    EXPECT_TRUE(nowhere.errors.contains("does not exist")) << nowhere.errors.toStdString();
}

}  // namespace pbp::test
