#pragma once

// Runs the built program silently, headless, against the private CUPS scheduler, with the PDF
// printer writing into a folder of the test's choice, and reads its report.

#include <QMap>
#include <QProcess>
#include <QStringList>

#include "tests/cups_fixture/cups_test_env.h"

namespace pbp::test {

struct ProgramRun {
    int exitCode = -1;
    QStringList lines;              // standard output, one line per entry
    QMap<QString, QString> status;  // path -> status, from those lines
    QString errors;                 // standard error
};

inline ProgramRun runProgram(const QStringList& arguments, const QString& pdfDir,
                             const QString& configDir) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("CUPS_SERVER"), cups::server());
    env.insert(QStringLiteral("PLENBATCHPRINT_PDF_DIR"), pdfDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    process.setProcessEnvironment(env);
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
        run.status.insert(line.section('\t', 0, 0), line.section('\t', 1));
    }
    return run;
}

// "/silent", the printer and one "/file=" per drawing.
inline QStringList silentArguments(const QString& printer, const QStringList& drawings) {
    QStringList arguments{QStringLiteral("/silent"), QStringLiteral("/printer=") + printer};
    for (const QString& drawing : drawings) arguments << QStringLiteral("/file=") + drawing;
    return arguments;
}

// Page count of a PDF file (pdfinfo), 0 when it cannot be read.
inline int pdfPageCount(const QString& path) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    info.waitForFinished();
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return 0;
}

}  // namespace pbp::test
