#include "printing/engine/page_table.h"

#include <librevenge-stream/librevenge-stream.h>
#include <libxml/xmlreader.h>
#include <QByteArray>
#include <limits>
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

// Throws PageTableDamaged when a part of the package's pages folder is not readable XML.
void checkPageParts(librevenge::RVNGInputStream& input) {
    for (unsigned i = 0; i < input.subStreamCount(); ++i) {
        const char* name = input.subStreamName(i);
        if (!name) continue;
        const QByteArrayView part(name);
        if (part.startsWith("visio/pages/") && part.endsWith(".xml") &&
            !isReadableXml(subStream(input, name)))
            throw PageTableDamaged();
    }
}

}  // namespace

bool isReadableXml(const QByteArray& xml) {
    if (xml.size() > std::numeric_limits<int>::max()) return false;
    // The options libvisio reads its parts with, so that both judge a part alike.
    const std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> reader(
        xmlReaderForMemory(xml.constData(), int(xml.size()), nullptr, nullptr,
                           XML_PARSE_NOBLANKS | XML_PARSE_NOENT | XML_PARSE_NONET |
                               XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        xmlFreeTextReader);
    if (!reader) return false;
    int read = 0;
    while ((read = xmlTextReaderRead(reader.get())) == 1) {
    }
    return read == 0;
}

PageTable readPageTable(librevenge::RVNGInputStream& input) {
    if (input.isStructured()) {
        if (input.existsSubStream("VisioDocument"))
            return readVsdPageTable(subStream(input, "VisioDocument"));
        checkPageParts(input);
        return readVsdxPageTable(subStream(input, "visio/pages/pages.xml"),
                                 subStream(input, "visio/document.xml"));
    }
    return readVdxPageTable(readAll(input));
}

}  // namespace pbp::visio
