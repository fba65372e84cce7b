#pragma once

// Runs the built program silently, headless, against the private CUPS scheduler, with the PDF
// printer writing into a folder of the test's choice, and reads its report; and reads PDFs.

#include <QMap>
#include <QProcess>
#include <QStringList>

#include "tests/common/test_paths.h"
#include "tests/cups_fixture/cups_test_env.h"

namespace pbp::test {

inline QString fixtureDrawing(const QString& name) {
    return sourceDir() + QStringLiteral("/tests/fixtures/drawings/") + name;
}

struct ProgramRun {
    int exitCode = -1;
    QStringList lines;              // standard output, one line per entry
    QMap<QString, QString> status;  // path -> status, from those lines
    QString errors;                 // standard error
};

// "/silent", "/printer=" and one "/file=" per drawing; `environment` adds or replaces variables.
inline ProgramRun runSilently(const QString& printer, const QStringList& drawings,
                              const QString& pdfDir, const QString& configDir,
                              const QMap<QString, QString>& environment = {}) {
    QStringList arguments{QStringLiteral("/silent")};
    if (!printer.isEmpty()) arguments << QStringLiteral("/printer=") + printer;
    for (const QString& drawing : drawings) arguments << QStringLiteral("/file=") + drawing;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("CUPS_SERVER"), cups::server());
    env.insert(QStringLiteral("PLENBATCHPRINT_PDF_DIR"), pdfDir);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    for (auto it = environment.begin(); it != environment.end(); ++it)
        env.insert(it.key(), it.value());
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

inline QString toolOutput(const QString& program, const QStringList& arguments,
                          const QByteArray& input = {}) {
    QProcess tool;
    tool.start(program, arguments);
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// What pdfinfo says after "key:" ("Pages", "Page 2 size"), or an empty text.
inline QString pdfInfo(const QString& pdf, const QString& key) {
    const QStringList arguments{QStringLiteral("-l"), QStringLiteral("99"), pdf};
    for (const QString& line : toolOutput(QStringLiteral("pdfinfo"), arguments).split('\n'))
        if (line.simplified().startsWith(key + ':')) return line.section(':', 1).trimmed();
    return {};
}

inline int pdfPageCount(const QString& pdf) {
    return pdfInfo(pdf, QStringLiteral("Pages")).toInt();
}

}  // namespace pbp::test
