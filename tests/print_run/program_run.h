#pragma once

// Runs the built program silently, headless, against the private CUPS scheduler, with the PDF
// printer writing into a folder of the test's choice, and reads its report.

#include <QMap>
#include <QProcess>
#include <QStringList>

#include "tests/common/pdf_tools.h"
#include "tests/common/test_paths.h"
#include "tests/cups_fixture/cups_test_env.h"

namespace pbp::test {

struct ProgramRun {
    int exitCode = -1;              // -1 when it crashed or did not end in time
    QStringList lines;              // standard output, one line per entry
    QMap<QString, QString> status;  // path -> status, from those lines
    QString errors;                 // standard error
};

// Where a test run of the program prints and keeps its settings, and what else it is given.
struct ProgramSetting {
    QString pdfDir;
    QString configDir;
    QMap<QString, QString> environment;  // more variables
};

// The environment of a test run: no display, the private CUPS scheduler, the setting.
inline QProcessEnvironment programEnvironment(const ProgramSetting& setting) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("CUPS_SERVER"), cups::server());
    env.insert(QStringLiteral("PLENBATCHPRINT_PDF_DIR"), setting.pdfDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), setting.configDir);
    for (auto it = setting.environment.begin(); it != setting.environment.end(); ++it)
        env.insert(it.key(), it.value());
    return env;
}

// Runs the built program with these arguments in programEnvironment(setting).
inline ProgramRun runProgram(const QStringList& arguments, const ProgramSetting& setting) {
    QProcess process;
    process.setProcessEnvironment(programEnvironment(setting));
    process.start(QStringLiteral(PLEN_EXECUTABLE), arguments);
    ProgramRun run;
    if (!process.waitForFinished(120000)) {
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

}  // namespace pbp::test
