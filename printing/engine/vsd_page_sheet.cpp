// Chunks of binary Visio drawings of version 6 and 11. Each chunk has a 19-byte header (type,
// id, list and data length as 32-bit words, level as a 16-bit word, one flag byte), its data,
// and a trailer whose length is not stored but follows from the header; zero bytes may pad the
// space between chunks. The page sheet's print properties chunk holds, in order, four margins
// (a unit byte and a double each), two scales (doubles), the pages across and down (16-bit
// words), a byte of flags, PrintPageOrientation as one byte, then PaperKind and PaperSource
// (16-bit words), in the order of the print properties of Visio's XML formats. The document's
// defaults are those of style sheet 0 ("No Style"), whose chunks follow its style sheet chunk
// (type 0x4a, id 0) in the Styles stream up to the next style sheet.

#include "printing/engine/vsd_page_sheet.h"

#include <QtEndian>
#include <algorithm>
#include <initializer_list>

namespace pbp::visio {

namespace {

constexpr quint32 kPrintProps = 0xc8;
constexpr quint32 kStyleSheet = 0x4a;
constexpr qint64 kHeaderSize = 19;
constexpr qint64 kOrientationOffset = 4 * 9 + 2 * 8 + 2 * 2 + 1;
constexpr qint64 kPaperKindOffset = kOrientationOffset + 1;
constexpr int kLandscape = 2;

struct ChunkHeader {
    quint32 type = 0;
    quint32 id = 0;
    quint32 list = 0;
    quint32 length = 0;
    quint16 level = 0;
    quint8 flags = 0;
};

bool oneOf(quint32 type, std::initializer_list<quint32> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

// The page sheet ends where the page's first shape (group, shape, guide, foreign) begins.
bool isShape(quint32 type) {
    return oneOf(type, {0x47, 0x48, 0x4d, 0x4e});
}

ChunkHeader headerAt(const QByteArray& chunks, qint64 at) {
    const char* bytes = chunks.constData() + at;
    ChunkHeader header;
    header.type = qFromLittleEndian<quint32>(bytes);
    header.id = qFromLittleEndian<quint32>(bytes + 4);
    header.list = qFromLittleEndian<quint32>(bytes + 8);
    header.length = qFromLittleEndian<quint32>(bytes + 12);
    header.level = qFromLittleEndian<quint16>(bytes + 16);
    header.flags = quint8(bytes[18]);
    return header;
}

// Lists and a few other chunk types carry an 8-byte trailer; OLE data and name ids none.
qint64 trailerVersion6(const ChunkHeader& h) {
    if (oneOf(h.type, {0x1f, 0xc9})) return 0;
    const bool list =
        h.list != 0 || oneOf(h.type, {0x0d, 0x2c, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x6b,
                                      0x6c, 0x6d, 0x6e, 0x6f, 0x70, 0x71, 0x72, 0x73, 0x76});
    return list ? 8 : 0;
}

// Visio 2003 adds a 4-byte separator after chunks of a list, after some chunks by their level
// and flag byte, and after a set of chunk types that lack one otherwise.
qint64 trailerVersion11(const ChunkHeader& h) {
    if (oneOf(h.type, {0x1f, 0x2d, 0xc9, 0xd1})) return 0;
    qint64 trailer = 0;
    if (h.list != 0 || oneOf(h.type, {0x2c, 0x65, 0x66, 0x69, 0x6a, 0x6b, 0x70, 0x71}))
        trailer += 8;
    if (h.list != 0 || (h.level == 2 && h.flags == 0x55) ||
        (h.level == 2 && h.flags == 0x54 && h.type == 0xaa) ||
        (h.level == 3 && h.flags != 0x50 && h.flags != 0x54))
        trailer += 4;
    if (trailer != 12 && trailer != 4 &&
        oneOf(h.type,
              {0x64, 0x65, 0x66, 0x69, 0x6a, 0x6b, 0x6f, 0x71, 0x92, 0xa9, 0xb4, 0xb6, 0xb9, 0xc7}))
        trailer += 4;
    return trailer;
}

// Reads the print properties chunk among the chunks from `at` on, up to the first chunk that
// `ends` says closes the sheet.
template <class Ends>
VsdPrintProps findPrintProps(const QByteArray& chunks, int version, qint64 at, Ends ends) {
    VsdPrintProps props;
    while (true) {
        while (at < chunks.size() && chunks.at(at) == 0) ++at;
        if (chunks.size() - at < kHeaderSize) return props;
        const ChunkHeader header = headerAt(chunks, at);
        if (ends(header)) return props;
        const qint64 data = at + kHeaderSize;
        if (qint64(header.length) > chunks.size() - data) return props;
        if (header.type == kPrintProps) {
            if (header.length <= kOrientationOffset) return props;
            const int orientation = quint8(chunks.at(data + kOrientationOffset));
            if (orientation <= kLandscape) props.orientation = PrintOrientation(orientation);
            if (header.length >= kPaperKindOffset + 2)
                props.paperKind =
                    qFromLittleEndian<quint16>(chunks.constData() + data + kPaperKindOffset);
            return props;
        }
        at = data + header.length +
             (version >= 11 ? trailerVersion11(header) : trailerVersion6(header));
    }
}

}  // namespace

VsdPrintProps vsdPrintProps(const QByteArray& chunks, int version) {
    return findPrintProps(chunks, version, 0, [](const ChunkHeader& h) { return isShape(h.type); });
}

VsdPrintProps vsdDocumentPrintProps(const QByteArray& styles, int version) {
    qint64 at = 0;
    while (true) {
        while (at < styles.size() && styles.at(at) == 0) ++at;
        if (styles.size() - at < kHeaderSize) return {};
        const ChunkHeader header = headerAt(styles, at);
        const qint64 data = at + kHeaderSize;
        if (qint64(header.length) > styles.size() - data) return {};
        const qint64 next = data + header.length +
                            (version >= 11 ? trailerVersion11(header) : trailerVersion6(header));
        if (header.type == kStyleSheet && header.id == 0)
            return findPrintProps(styles, version, next,
                                  [](const ChunkHeader& h) { return h.type == kStyleSheet; });
        at = next;
    }
}

}  // namespace pbp::visio
