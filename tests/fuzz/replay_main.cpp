// Feeds files to the fuzz targets in the normal build: replay TARGET FILE_OR_FOLDER...
// Exits with 0 when the target returned for every file; a fault shows as a crash.

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <map>
#include <string>

#include "tests/fuzz/fuzz_target.h"

namespace pbp::fuzz {

namespace {

std::map<std::string, TargetFunction>& targets() {
    static std::map<std::string, TargetFunction> all;
    return all;
}

int replayFile(TargetFunction target, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray data = file.readAll();
    std::fprintf(stderr, "%s\n", qPrintable(path));
    target(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
    return 0;
}

}  // namespace

bool registerTarget(const char* name, TargetFunction function) {
    targets()[name] = function;
    return true;
}

}  // namespace pbp::fuzz

int main(int argc, char** argv) {
    using namespace pbp::fuzz;
    if (argc < 2 || !targets().count(argv[1])) {
        std::fprintf(stderr, "usage: %s TARGET FILE_OR_FOLDER...\ntargets:", argv[0]);
        for (const auto& [name, function] : targets()) std::fprintf(stderr, " %s", name.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    const TargetFunction target = targets()[argv[1]];
    prepare();
    int failed = 0;
    for (int i = 2; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(path).isDir()) {
            failed |= replayFile(target, path);
            continue;
        }
        QDirIterator files(path, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) failed |= replayFile(target, files.next());
    }
    return failed;
}
