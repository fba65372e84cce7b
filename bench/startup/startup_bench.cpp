// Times the start-up readers on 10,000-entry inputs and prints a table. Exits with 1 when a
// reader misses its target.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "startup/mod_main.h"
#include "support/platform.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kRounds = 5;

class StderrMessages : public pbp::MessageService {
  public:
    void show(const QString&, const QString& text, pbp::MessageIcon) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    }
    void beep() override {}
};

QString drawingPath(int i) {
    return QStringLiteral("/srv/drawings/Projekt %1/Zeichnung \u00e4 %2.vsd").arg(i / 100).arg(i);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(2);
    }
}

// Best of several rounds, in milliseconds; `entries` receives the count of the last round.
double bestMilliseconds(const std::function<size_t()>& read, size_t& entries) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        entries = read();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    StderrMessages messages;
    pbp::Platform platform;
    platform.messages = &messages;
    pbp::setPlatform(platform);

    QTemporaryDir dir;
    QStringList paths;
    QStringList arguments;
    QByteArray job = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PlenBatchPrintJob>\n";
    for (int i = 0; i < kEntries; ++i) {
        paths << drawingPath(i);
        arguments << QStringLiteral("/file=") + paths.last();
        job += "  <PlenBatchPrintItem Filename=\"" + paths.last().toUtf8() + "\" Delete=\"" +
               (i % 2 ? "true" : "false") + "\"/>\n";
    }
    job += "</PlenBatchPrintJob>\n";
    const QString listPath = dir.filePath(QStringLiteral("list.csv"));
    const QString jobPath = dir.filePath(QStringLiteral("job.xml"));
    writeFile(listPath, paths.join(QStringLiteral(", ")).toUtf8());
    writeFile(jobPath, job);
    const QString commandLine = arguments.join(u' ');

    struct Row {
        const char* input;
        std::function<size_t()> read;
        double targetMs;
    };
    const Row rows[] = {
        {"batch list (CSV)", [&] { return pbp::GetFilesFromCSVDataFile(listPath)->size(); }, 200},
        {"job file (XML)", [&] { return pbp::GetFilesFromXMLDataFile(jobPath)->size(); }, 200},
        {"command line", [&] { return pbp::GetFilesFromCommandLine(commandLine)->size(); }, 200},
    };

    bool allMet = true;
    std::printf("%-18s %8s %10s %10s %6s\n", "input", "entries", "best ms", "target ms", "met");
    for (const Row& row : rows) {
        size_t entries = 0;
        const double ms = bestMilliseconds(row.read, entries);
        const bool met = ms < row.targetMs && entries == size_t(kEntries);
        allMet = allMet && met;
        std::printf("%-18s %8zu %10.2f %10.0f %6s\n", row.input, entries, ms, row.targetMs,
                    met ? "yes" : "NO");
    }
    return allMet ? 0 : 1;
}
