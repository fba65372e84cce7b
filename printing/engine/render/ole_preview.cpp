#include "printing/engine/render/ole_preview.h"

#include <librevenge-stream/librevenge-stream.h>

#include <QPoint>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <optional>

#include "printing/engine/render/little_endian.h"

namespace pbp::render {

namespace {

using namespace little_endian;

// Standard clipboard formats a presentation stream holds (MS-OLEDS 2.3.4).
constexpr quint32 kCfMetafilePict = 3, kCfDib = 8, kCfEnhMetafile = 14;
constexpr quint16 kMetaSetWindowExt = 0x020C, kMetaSetViewportExt = 0x020E, kMetaEscape = 0x0626,
                  kMfComment = 0x000F;

QByteArray readAll(librevenge::RVNGInputStream& input) {
    QByteArray bytes;
    while (!input.isEnd()) {
        unsigned long got = 0;
        const unsigned char* chunk = input.read(1 << 16, got);
        if (!chunk || got == 0) break;
        bytes.append(reinterpret_cast<const char*>(chunk), qsizetype(got));
    }
    return bytes;
}

struct Presentation {
    quint32 format = 0;
    QByteArray data;
};

// A presentation stream with a standard clipboard format; empty for one without a picture
// (no format, or a format the object's program registered for itself).
std::optional<Presentation> readPresentation(const QByteArray& stream) {
    if (stream.size() < 12) return std::nullopt;
    const quint32 marker = le32(stream, 0);
    if (marker != 0xFFFFFFFF && marker != 0xFFFFFFFE) return std::nullopt;
    Presentation p;
    p.format = le32(stream, 4);
    // The target device, its size counting the size field itself.
    const quint32 device = le32(stream, 8);
    if (device < 4 || device > quint64(stream.size() - 8)) return std::nullopt;
    const qsizetype at = 8 + qsizetype(device);
    // Aspect, index, advise flags, reserved, width, height (the picture is stretched to the
    // shape's box anyway), size, then the picture.
    if (stream.size() - at < 28) return std::nullopt;
    const quint32 size = le32(stream, at + 24);
    if (size == 0 || size > quint64(stream.size() - at - 28)) return std::nullopt;
    p.data = stream.mid(at + 28, size);
    return p;
}

// Walks the records of a WMF without a placeable header, calling `visit(at, words, function)`
// for each until the end record or `visit` returns false.
template <typename Visit>
void forEachWmfRecord(const QByteArray& wmf, Visit visit) {
    qsizetype at = 2 * qsizetype(le16(wmf, 2));
    while (at + 6 <= wmf.size()) {
        const quint32 words = le32(wmf, at);
        const quint16 function = le16(wmf, at + 4);
        if (words < 3 || function == 0 || words > quint64(wmf.size() - at) / 2) return;
        if (!visit(at, words, function)) return;
        at += 2 * qsizetype(words);
    }
}

// Office programs keep the EMF they drew in comment records of the presentation's WMF
// ("WMFC", MS-WMF 2.3.3.2), split over as many records as it needs. It draws better than
// the WMF made from it: Unicode text, exact coordinates. Empty when there is none.
QByteArray embeddedEmf(const QByteArray& wmf) {
    QByteArray emf;
    qint64 total = -1;
    forEachWmfRecord(wmf, [&](qsizetype at, quint32 words, quint16 function) {
        if (function != kMetaEscape || words < 5 || le16(wmf, at + 6) != kMfComment) return true;
        const qsizetype payload = at + 10;
        const qsizetype length = std::min<qsizetype>(le16(wmf, at + 8), 2 * words - 10);
        if (length < 34 || wmf.mid(payload, 4) != "WMFC") return true;
        const quint32 chunk = le32(wmf, payload + 22);
        total = le32(wmf, payload + 30);
        if (chunk > quint64(length - 34) || emf.size() + chunk > total) return false;
        emf.append(wmf.constData() + payload + 34, chunk);
        return true;
    });
    return emf.size() == total ? emf : QByteArray();
}

// A presentation's WMF has no placeable header: its frame is the window its records set,
// mapped one to one onto the device (libwmf's own default viewport is 1024 units square).
// With the header, the picture keeps its margins when it is stretched to its box.
QByteArray withPlaceableHeader(const QByteArray& wmf) {
    std::optional<QPoint> extent;
    qsizetype extentEnd = 0;
    forEachWmfRecord(wmf, [&](qsizetype at, quint32 words, quint16 function) {
        if (function != kMetaSetWindowExt || words < 5) return true;
        extent = QPoint(le16s(wmf, at + 8), le16s(wmf, at + 6));  // y before x
        extentEnd = at + 2 * qsizetype(words);
        return false;
    });
    if (!extent || extent->x() <= 0 || extent->y() <= 0) return wmf;
    // 72 units an inch: the frame's units are the device's points.
    const quint16 header[10] = {0xCDD7, 0x9AC6, 0, 0, 0, quint16(extent->x()), quint16(extent->y()),
                                72,     0,      0};
    QByteArray out;
    quint16 checksum = 0;
    for (quint16 word : header) {
        checksum ^= word;
        put16(out, word);
    }
    put16(out, checksum);
    out.append(wmf.constData(), extentEnd);
    const quint16 viewport[5] = {5, 0, kMetaSetViewportExt, quint16(extent->y()),
                                 quint16(extent->x())};
    for (quint16 word : viewport) put16(out, word);
    out.append(wmf.constData() + extentEnd, wmf.size() - extentEnd);
    // The header's file size in 16-bit words.
    qToLittleEndian<quint32>(quint32((out.size() - 22) / 2), out.data() + 22 + 6);
    return out;
}

bool isEmf(const QByteArray& data) {
    return data.size() > 0x2B && le32(data, 0) == 1 && data.mid(0x28, 4) == " EMF";
}

}  // namespace

OlePreview olePreview(const QByteArray& storage) {
    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(storage.constData()),
                                        unsigned(storage.size()));
    if (storage.isEmpty() || !stream.isStructured())
        return {{}, {}, QStringLiteral("the embedded object is not an OLE storage")};
    // Presentation streams in their order, "\2OlePres000" first.
    QStringList names;
    for (unsigned i = 0; i < stream.subStreamCount(); ++i) {
        const char* name = stream.subStreamName(i);
        if (!name) continue;
        QString base = QString::fromLatin1(name).section(u'/', -1);
        while (!base.isEmpty() && base.front().unicode() < 0x20) base.remove(0, 1);
        if (base.startsWith(QLatin1String("OlePres"))) names << QString::fromLatin1(name);
    }
    names.sort();
    for (const QString& name : names) {
        std::unique_ptr<librevenge::RVNGInputStream> sub(
            stream.getSubStreamByName(name.toLatin1().constData()));
        if (!sub) continue;
        const std::optional<Presentation> p = readPresentation(readAll(*sub));
        if (!p) continue;
        if (p->format == kCfDib) return {p->data, QStringLiteral("image/bmp"), {}};
        if (p->format != kCfMetafilePict && p->format != kCfEnhMetafile) continue;
        if (isEmf(p->data)) return {p->data, QStringLiteral("image/emf"), {}};
        if (p->data.size() < 18 || le16(p->data, 2) != 9)  // a WMF header is 9 words
            continue;
        const QByteArray emf = embeddedEmf(p->data);
        if (isEmf(emf)) return {emf, QStringLiteral("image/emf"), {}};
        return {withPlaceableHeader(p->data), QStringLiteral("image/wmf"), {}};
    }
    return {{}, {}, QStringLiteral("the embedded object carries no preview picture")};
}

}  // namespace pbp::render
