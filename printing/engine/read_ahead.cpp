#include "printing/engine/read_ahead.h"

#include <libxml/parser.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <system_error>

#include "printing/engine/render/font_substitution.h"

namespace pbp::visio {

FileIdentity fileIdentity(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
    return {qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
            quint64(info.st_dev), quint64(info.st_ino)};
}

ReadAhead::ReadAhead(int depth) : depth_(depth) {}

ReadAhead::~ReadAhead() {
    stop();
}

void ReadAhead::expect(const QStringList& paths) {
    stop();
    // libxml2 must be set up on the main thread before threads parse with it; the font database
    // is loaded here too rather than by whichever thread first asks it for a family.
    xmlInitParser();
    render::printFontFamily(QString());
    expected_.assign(paths.begin(), paths.end());
    startReads();
}

void ReadAhead::startReads() {
    while (int(reads_.size()) < depth_ && !expected_.empty()) {
        const QString path = expected_.front();
        try {
            Read read{path, fileIdentity(path), {}};
            read.result = std::async(std::launch::async, [path] { return loadDrawingFile(path); });
            reads_.push_back(std::move(read));
        } catch (const std::system_error&) {
            return;  // no thread to spare: the drawing is loaded when it is opened
        }
        expected_.pop_front();
    }
}

DrawingFile ReadAhead::take(const QString& path) {
    const auto read =
        std::find_if(reads_.begin(), reads_.end(), [&](const Read& r) { return r.path == path; });
    if (read == reads_.end()) {
        const auto expected = std::find(expected_.begin(), expected_.end(), path);
        if (expected != expected_.end()) {
            // Opened out of order: the reads before it are of no use now.
            reads_.clear();
            expected_.erase(expected_.begin(), expected + 1);
        }
        startReads();
        return loadDrawingFile(path);
    }
    Read taken = std::move(*read);
    reads_.erase(reads_.begin(), read + 1);
    startReads();
    if (fileIdentity(path) != taken.identity) return loadDrawingFile(path);
    return taken.result.get();
}

void ReadAhead::stop() {
    expected_.clear();
    reads_.clear();  // a future of std::async waits for its thread
}

}  // namespace pbp::visio
