#include "printing/engine/page_table.h"

#include <librevenge-stream/librevenge-stream.h>
#include <QByteArray>
#include <memory>

namespace pbp::visio {

namespace {

QByteArray readAll(librevenge::RVNGInputStream& input) {
    QByteArray data;
    input.seek(0, librevenge::RVNG_SEEK_SET);
    while (!input.isEnd()) {
        unsigned long got = 0;
        const unsigned char* chunk = input.read(1 << 16, got);
        if (!chunk || got == 0) break;
        data.append(reinterpret_cast<const char*>(chunk), qsizetype(got));
    }
    input.seek(0, librevenge::RVNG_SEEK_SET);
    return data;
}

QByteArray subStream(librevenge::RVNGInputStream& input, const char* name) {
    if (!input.existsSubStream(name)) return {};
    std::unique_ptr<librevenge::RVNGInputStream> part(input.getSubStreamByName(name));
    return part ? readAll(*part) : QByteArray();
}

}  // namespace

PageTable readPageTable(librevenge::RVNGInputStream& input) {
    if (input.isStructured()) {
        if (input.existsSubStream("VisioDocument"))
            return readVsdPageTable(subStream(input, "VisioDocument"));
        return readVsdxPageTable(subStream(input, "visio/pages/pages.xml"),
                                 subStream(input, "visio/document.xml"));
    }
    return readVdxPageTable(readAll(input));
}

}  // namespace pbp::visio
