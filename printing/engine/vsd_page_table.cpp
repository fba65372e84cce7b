// Page pointers of binary Visio drawings (.vsd/.vst, Visio 5 to 2003). The "VisioDocument"
// stream is a tree of pointers; each pointer names a type, an offset and length in the stream
// and a format whose bit 1 marks LZ77-compressed data and whose high nibble 5 marks a stream
// holding pointers of its own. A page pointer (type 0x15) with format bit 0 clear is a
// background page. Only the pointer tree is walked, and of each page the page sheet at the head
// of its chunk stream, for the print orientation and paper, and of the Styles stream (0x1a)
// style sheet 0, whose paper a page sheet without one takes; page contents are left to the
// renderer.

#include <QByteArray>
#include <QSet>
#include <map>
#include <string>

#include "printing/engine/page_table.h"
#include "printing/engine/vsd_page_sheet.h"

namespace pbp::visio {

namespace {

constexpr quint32 kTrailerStream = 0x14;
constexpr quint32 kPage = 0x15;
constexpr quint32 kColors = 0x16;
constexpr quint32 kFontList = 0x18;
constexpr quint32 kStyles = 0x1a;
constexpr quint32 kStencils = 0x1d;
constexpr quint32 kStencilPage = 0x1e;
constexpr quint32 kShapeForeign = 0x4e;
constexpr int kMaxDepth = 8;

class ByteReader {
  public:
    explicit ByteReader(const QByteArray& data) : data_(data) {}
    void seek(qint64 pos) {
        if (pos < 0 || pos > data_.size()) throw PageTableDamaged();
        pos_ = pos;
    }
    void skip(qint64 count) { seek(pos_ + count); }
    quint32 u8() { return quint8(take(1)[0]); }
    quint32 u16() { return u8() | (u8() << 8); }
    quint32 u32() { return u16() | (u16() << 16); }
    qint32 s32() { return qint32(u32()); }
    qint16 s16() { return qint16(u16()); }

  private:
    const char* take(qint64 count) {
        if (pos_ + count > data_.size()) throw PageTableDamaged();
        const char* at = data_.constData() + pos_;
        pos_ += count;
        return at;
    }
    const QByteArray& data_;
    qint64 pos_ = 0;
};

struct Pointer {
    quint32 type = 0;
    quint32 format = 0;
    quint32 offset = 0;
    quint32 length = 0;
};

// The LZ77 variant of Visio streams: a flag byte governs the next eight items, a set bit
// meaning one literal byte, a clear bit a two-byte back reference into a 4096-byte window.
QByteArray decompress(const QByteArray& packed) {
    const auto* in = reinterpret_cast<const unsigned char*>(packed.constData());
    const qsizetype size = packed.size();
    std::string out;
    out.reserve(size_t(size) * 3);
    unsigned char window[4096] = {};
    unsigned written = 0;
    qsizetype at = 0;
    while (at < size) {
        const unsigned flags = in[at++];
        for (int bit = 0; bit < 8 && at < size; ++bit) {
            if (flags & (1u << bit)) {
                window[written++ & 4095] = in[at];
                out.push_back(char(in[at++]));
                continue;
            }
            if (at + 2 > size) return QByteArray(out.data(), qsizetype(out.size()));
            const unsigned low = in[at++];
            const unsigned high = in[at++];
            const unsigned length = (high & 15) + 3;
            unsigned source = ((high & 0xF0) << 4) | low;
            source = source > 4078 ? source - 4078 : source + 18;
            for (unsigned j = 0; j < length; ++j) {
                const unsigned char c = window[(source + j) & 4095];
                window[(written + j) & 4095] = c;
                out.push_back(char(c));
            }
            written += length;
        }
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

class PointerWalker {
  public:
    PointerWalker(const QByteArray& file, int version) : file_(file), version_(version) {}

    PageTable walk() {
        ByteReader reader(file_);
        reader.seek(0x24);
        Pointer trailer = readPointer(reader);
        trailer.type = kTrailerStream;
        walkStream(trailer, 0);
        // A page sheet that states no paper prints on the document's.
        for (PageTableEntry& entry : table_)
            if (entry.paperKind == 0) entry.paperKind = documentPaperKind_;
        return std::move(table_);
    }

  private:
    bool oldLayout() const { return version_ < 6; }

    Pointer readPointer(ByteReader& reader) const {
        Pointer p;
        if (oldLayout()) {
            p.type = reader.u16() & 0xff;
            p.format = reader.u16() & 0xff;
            reader.skip(4);
            p.offset = reader.u32();
            p.length = reader.u32();
        } else {
            p.type = reader.u32();
            reader.skip(4);
            p.offset = reader.u32();
            p.length = reader.u32();
            p.format = reader.u16();
        }
        return p;
    }

    QByteArray contents(const Pointer& p) const {
        if (qint64(p.offset) + qint64(p.length) > file_.size()) throw PageTableDamaged();
        const QByteArray raw = file_.mid(p.offset, p.length);
        return (p.format & 2) ? decompress(raw) : raw;
    }

    // Where the pointer list of a stream of this type starts (Visio 5 keeps it at fixed places).
    qint64 oldPointerCountOffset(quint32 type) const {
        switch (type) {
            case kTrailerStream:
                return 0x82;
            case kPage:
                return 0x42;
            case kFontList:
                return 0x2e;
            case kStyles:
                return 0x12;
            case kStencils:
            case kShapeForeign:
                return 0x1e;
            case kStencilPage:
                return 0x36;
            default:
                return type > 0x45 ? 0x1e : 0xa;
        }
    }

    void walkStream(const Pointer& self, int depth) {
        if (depth > kMaxDepth || visited_.contains(self.offset)) return;
        visited_.insert(self.offset);
        const QByteArray data = contents(self);
        const qint64 shift = (self.format & 2) ? 4 : 0;
        ByteReader reader(data);

        std::map<quint32, Pointer> pointers;
        std::vector<quint32> order;
        if (oldLayout()) {
            reader.seek(shift + oldPointerCountOffset(self.type));
            const int count = reader.s16();
            for (int i = 0; i < count; ++i) pointers[i] = readPointer(reader);
        } else {
            reader.seek(shift);
            const quint32 listOffset = reader.u32();
            reader.seek(qint64(listOffset) + shift - 4);
            const quint32 orderSize = reader.u32();
            const qint32 count = reader.s32();
            reader.skip(4);
            for (qint32 i = 0; i < count; ++i) pointers[quint32(i)] = readPointer(reader);
            for (quint32 i = 0; orderSize > 1 && i < orderSize; ++i) order.push_back(reader.u32());
        }

        // Pointers named in the order list come first, the others follow by index.
        for (quint32 index : order) {
            const auto found = pointers.find(index);
            if (found == pointers.end()) continue;
            visit(found->first, found->second, depth);
            pointers.erase(found);
        }
        for (const auto& [index, pointer] : pointers) visit(index, pointer, depth);
    }

    // Visio 5 page sheets and styles hold no print properties. A page or styles stream that
    // cannot be read states none: its contents are the renderer's to judge.
    template <class Read>
    VsdPrintProps printProps(const Pointer& sheet, Read read) const {
        const quint32 kind = sheet.format >> 4;
        const bool holdsChunks = kind == 0xd || kind == 0xc || kind == 8;
        if (oldLayout() || !holdsChunks) return {};
        try {
            return read(contents(sheet), version_);
        } catch (const PageTableDamaged&) {
            return {};
        }
    }

    void visit(quint32 index, const Pointer& p, int depth) {
        if (p.type == 0) return;
        if (p.type == kPage) {
            PageTableEntry entry;
            entry.id = index;
            entry.background = !(p.format & 1);
            const VsdPrintProps props = printProps(p, vsdPrintProps);
            entry.orientation = props.orientation;
            entry.paperKind = props.paperKind;
            table_.push_back(entry);
            return;
        }
        if (p.type == kStyles && documentPaperKind_ == 0)
            documentPaperKind_ = printProps(p, vsdDocumentPrintProps).paperKind;
        const bool holdsPointers = (p.format >> 4) == 5;
        if (holdsPointers && p.type != kColors && p.type != kStencils && p.type != kStyles)
            walkStream(p, depth + 1);
    }

    const QByteArray& file_;
    int version_;
    QSet<quint32> visited_;
    PageTable table_;
    int documentPaperKind_ = 0;
};

}  // namespace

PageTable readVsdPageTable(const QByteArray& visioDocumentStream) {
    if (visioDocumentStream.size() < 0x40) throw PageTableDamaged();
    const int version = quint8(visioDocumentStream.at(0x1A));
    if (version != 5 && version != 6 && version != 11) return {};
    return PointerWalker(visioDocumentStream, version).walk();
}

}  // namespace pbp::visio
