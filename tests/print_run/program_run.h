#pragma once

// Runs the built program silently, headless, against the private CUPS scheduler, with the PDF
// printer writing into a folder of the test's choice, and reads its report.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <cstddef>
#include <cstring>
#include <memory>

#include "tests/common/pdf_tools.h"
#include "tests/common/test_paths.h"
#include "tests/cups_fixture/cups_test_env.h"

namespace pbp::test {

struct ProgramRun {
    int exitCode = -1;              // -1 when it crashed or did not end in time
    qint64 milliseconds = 0;        // how long it ran
    QStringList lines;              // standard output, one line per entry
    QMap<QString, QString> status;  // path -> status, from those lines
    QString errors;                 // standard error
};

// Where a test run of the program prints and keeps its settings, and what else it is given.
struct ProgramSetting {
    QString pdfDir;
    QString configDir;
    QMap<QString, QString> environment;  // more variables; a null value removes one
};

// The environment of a test run: no display, English texts, the private CUPS scheduler, the
// setting.
inline QProcessEnvironment programEnvironment(const ProgramSetting& setting) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(QLatin1String(variable));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("CUPS_SERVER"), cups::server());
    env.insert(QStringLiteral("PLENBATCHPRINT_PDF_DIR"), setting.pdfDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), setting.configDir);
    for (auto it = setting.environment.begin(); it != setting.environment.end(); ++it) {
        if (it.value().isNull())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    return env;
}

// Runs the built program with these arguments in programEnvironment(setting).
inline ProgramRun runProgram(const QStringList& arguments, const ProgramSetting& setting) {
    QProcess process;
    process.setProcessEnvironment(programEnvironment(setting));
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(PLEN_EXECUTABLE), arguments);
    ProgramRun run;
    const bool ended = process.waitForFinished(120000);
    run.milliseconds = timer.elapsed();
    if (!ended) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = QString::fromUtf8(process.readAllStandardError());
    for (const QString& line :
         QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        run.lines << line;
        run.status.insert(line.section('\t', 0, 0), line.section('\t', 1, 1));
    }
    return run;
}

// A Unix socket that takes connections into its queue and never answers: a display or a
// print scheduler that hangs, as one stopped with SIGSTOP does. A path starting with "@" names
// an abstract socket (as libxcb tries first for ":N").
class SilentSocket {
  public:
    explicit SilentSocket(const QString& path) : path_(path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QByteArray encoded = QFile::encodeName(path);
        if (abstract()) encoded[0] = '\0';
        std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
        const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + encoded.size());
        listening_ = ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
                     ::listen(fd_, 64) == 0;
    }
    ~SilentSocket() {
        ::close(fd_);
        if (!abstract()) QFile::remove(path_);
    }
    bool listening() const { return listening_; }
    QString path() const { return path_; }

  private:
    bool abstract() const { return path_.startsWith(QLatin1Char('@')); }

    QString path_;
    int fd_ = -1;
    bool listening_ = false;
};

}  // namespace pbp::test
