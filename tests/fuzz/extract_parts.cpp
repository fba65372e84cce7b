// Seeds for the page-table fuzz targets: writes the "VisioDocument" stream of each binary
// drawing to OUT/vsd_page_table/ and the pages part of each zip drawing to
// OUT/vsdx_page_table/. Usage: extract_parts OUT DRAWING...

#include <librevenge-stream/librevenge-stream.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <memory>

namespace {

QByteArray readAll(librevenge::RVNGInputStream& input) {
    QByteArray data;
    while (!input.isEnd()) {
        unsigned long got = 0;
        const unsigned char* chunk = input.read(1 << 16, got);
        if (!chunk || got == 0) break;
        data.append(reinterpret_cast<const char*>(chunk), qsizetype(got));
    }
    return data;
}

void writePart(const QString& folder, const QString& name, const QByteArray& data) {
    QDir().mkpath(folder);
    QFile out(folder + QLatin1Char('/') + name);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT DRAWING...\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        librevenge::RVNGFileStream input(argv[i]);
        if (!input.isStructured()) continue;
        const QString name = QFileInfo(QString::fromLocal8Bit(argv[i])).fileName();
        for (const auto& [part, target] : {std::pair{"VisioDocument", "vsd_page_table"},
                                           std::pair{"visio/pages/pages.xml", "vsdx_page_table"}}) {
            if (!input.existsSubStream(part)) continue;
            std::unique_ptr<librevenge::RVNGInputStream> stream(input.getSubStreamByName(part));
            if (stream)
                writePart(out + QLatin1Char('/') + QLatin1String(target), name, readAll(*stream));
        }
    }
    return 0;
}
