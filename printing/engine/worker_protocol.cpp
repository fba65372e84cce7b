#include "printing/engine/worker_protocol.h"

#include <poll.h>
#include <sys/socket.h>

#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace pbp::visio::worker {

namespace {

constexpr int kHeaderBytes = 8;

bool knownKind(quint32 kind) {
    switch (Kind(kind)) {
        case Kind::Open:
        case Kind::Print:
        case Kind::Close:
        case Kind::Opened:
        case Kind::Printed:
        case Kind::Failed:
            return true;
    }
    return false;
}

// Page sizes are lengths in inches; anything not finite or absurd is garbage.
double length(Reader& reader) {
    const double value = reader.f64();
    if (!std::isfinite(value) || std::fabs(value) > 1e9) throw Garbage();
    return value;
}

void writePage(Writer& writer, const DrawingPage& page) {
    writer.u32(page.background ? 1 : 0);
    writer.f64(page.widthInches);
    writer.f64(page.heightInches);
    writer.text(page.printPageOrientation);
    writer.i32(page.renderedIndex);
    writer.f64(page.renderedSizeInches.width());
    writer.f64(page.renderedSizeInches.height());
    writer.i32(page.paperKind);
    writer.text(page.name);
}

DrawingPage readPage(Reader& reader, quint32 pageCount) {
    DrawingPage page;
    const quint32 background = reader.u32();
    if (background > 1) throw Garbage();
    page.background = background == 1;
    page.widthInches = length(reader);
    page.heightInches = length(reader);
    page.printPageOrientation = reader.text();
    page.renderedIndex = reader.i32();
    if (page.renderedIndex < -1 || page.renderedIndex >= qint64(pageCount)) throw Garbage();
    const double width = length(reader);
    page.renderedSizeInches = QSizeF(width, length(reader));
    page.paperKind = reader.i32();
    page.name = reader.text();
    return page;
}

void writePaper(Writer& writer, const QPageSize& paper) {
    const QSizeF points = paper.size(QPageSize::Point);
    writer.i32(paper.id());
    writer.f64(points.width());
    writer.f64(points.height());
}

QPageSize readPaper(Reader& reader) {
    const qint32 id = reader.i32();
    const double width = length(reader);
    const double height = length(reader);
    if (id >= 0 && id < QPageSize::LastPageSize && id != QPageSize::Custom)
        return QPageSize(QPageSize::PageSizeId(id));
    if (width > 0 && height > 0) return QPageSize(QSizeF(width, height), QPageSize::Point);
    throw Garbage();
}

bool flag(Reader& reader) {
    const quint32 value = reader.u32();
    if (value > 1) throw Garbage();
    return value == 1;
}

std::vector<DrawingPage> readPages(Reader& reader) {
    const quint32 count = reader.count(kMaxPages);
    std::vector<DrawingPage> pages;
    pages.reserve(count);
    for (quint32 i = 0; i < count; ++i) pages.push_back(readPage(reader, count));
    return pages;
}

// Waits until the socket can be read; false when the deadline passed first. What arrived
// before the deadline counts, however late it is asked for.
bool waitReadable(int fd, std::optional<std::chrono::steady_clock::time_point> deadline) {
    for (;;) {
        int timeoutMs = -1;
        if (deadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                *deadline - std::chrono::steady_clock::now());
            timeoutMs = int(std::clamp<long long>(left.count(), 0, 1 << 30));
        }
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, timeoutMs);
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) return true;  // the read that follows reports it
    }
}

enum class ReadEnd { Done, Closed, TimedOut };

ReadEnd readExactly(int fd, char* into, qint64 size,
                    std::optional<std::chrono::steady_clock::time_point> deadline) {
    qint64 got = 0;
    while (got < size) {
        if (!waitReadable(fd, deadline)) return ReadEnd::TimedOut;
        const ssize_t n = ::recv(fd, into + got, size_t(size - got), 0);
        if (n == 0) return ReadEnd::Closed;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return ReadEnd::Closed;
        }
        got += n;
    }
    return ReadEnd::Done;
}

}  // namespace

void Writer::u32(quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    body_.append(bytes, 4);
}

void Writer::f64(double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian(bits, bytes);
    body_.append(bytes, 8);
}

void Writer::text(const QString& value) {
    bytes(value.toUtf8().left(kMaxTextBytes));
}

void Writer::bytes(const QByteArray& value) {
    u32(quint32(value.size()));
    body_.append(value);
}

QByteArray Writer::frame(Kind kind) const {
    QByteArray frame(kHeaderBytes, Qt::Uninitialized);
    qToLittleEndian(quint32(kind), frame.data());
    qToLittleEndian(quint32(body_.size()), frame.data() + 4);
    return frame + body_;
}

const char* Reader::take(qint64 size) {
    if (size < 0 || at_ + size > body_.size()) throw Garbage();
    const char* at = body_.constData() + at_;
    at_ += size;
    return at;
}

quint32 Reader::u32() {
    return qFromLittleEndian<quint32>(take(4));
}

double Reader::f64() {
    const quint64 bits = qFromLittleEndian<quint64>(take(8));
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QString Reader::text() {
    const quint32 size = count(kMaxTextBytes);
    return QString::fromUtf8(take(size), size);
}

QByteArray Reader::bytes() {
    const quint32 size = u32();
    return QByteArray(take(size), size);
}

quint32 Reader::count(quint32 bound) {
    const quint32 value = u32();
    if (value > bound) throw Garbage();
    return value;
}

void Reader::end() const {
    if (at_ != body_.size()) throw Garbage();
}

bool PrintOrder::operator==(const PrintOrder& other) const {
    const auto samePage = [](const DrawingPage& a, const DrawingPage& b) {
        return a.widthInches == b.widthInches && a.heightInches == b.heightInches &&
               a.printPageOrientation == b.printPageOrientation;
    };
    return sheets == other.sheets && papers == other.papers &&
           std::equal(pages.begin(), pages.end(), other.pages.begin(), other.pages.end(), samePage);
}

namespace {

void writeOrder(Writer& writer, const PrintOrder& order) {
    writer.u32(quint32(order.pages.size()));
    for (const DrawingPage& page : order.pages) writePage(writer, page);
    writer.u32(quint32(order.sheets.size()));
    for (int sheet : order.sheets) writer.i32(sheet);
    writer.u32(quint32(order.papers.size()));
    for (const QPageSize& paper : order.papers) writePaper(writer, paper);
}

PrintOrder readOrder(Reader& reader) {
    PrintOrder order;
    order.pages = readPages(reader);
    const quint32 sheets = reader.count(kMaxSheets);
    order.sheets.reserve(sheets);
    for (quint32 i = 0; i < sheets; ++i) {
        const qint32 sheet = reader.i32();
        if (sheet < 0 || sheet >= qint64(order.pages.size())) throw Garbage();
        order.sheets.push_back(sheet);
    }
    const quint32 papers = reader.count(kMaxPages);
    if (papers != order.pages.size()) throw Garbage();
    for (quint32 i = 0; i < papers; ++i) order.papers.push_back(readPaper(reader));
    return order;
}

}  // namespace

QByteArray openFrame(const OpenOrder& order) {
    Writer writer;
    writer.bytes(order.path.toUtf8());
    writer.u32(order.keep ? 1 : 0);
    const std::optional<PrintPlan>& plan = order.plan;
    writer.u32(plan ? 1 : 0);
    if (plan) {
        writePaper(writer, plan->paper);
        writer.u32(quint32(plan->offered.size()));
        for (const OfferedPaper& offered : plan->offered) {
            writePaper(writer, offered.paper);
            writer.text(offered.media);
        }
        writer.u32(quint32(plan->copies));
        writer.u32(plan->collate ? 1 : 0);
        writer.u32(plan->firstPageOnly ? 1 : 0);
        writer.u32(plan->turnLandscapeShapedPages ? 1 : 0);
    }
    return writer.frame(Kind::Open);
}

OpenOrder readOpen(const QByteArray& body) {
    Reader reader(body);
    OpenOrder order;
    order.path = QString::fromUtf8(reader.bytes());
    order.keep = flag(reader);
    std::optional<PrintPlan>& plan = order.plan;
    if (flag(reader)) {
        plan.emplace();
        plan->paper = readPaper(reader);
        const quint32 offered = reader.count(kMaxOfferedPapers);
        for (quint32 i = 0; i < offered; ++i) {
            const QPageSize paper = readPaper(reader);
            plan->offered.push_back({paper, reader.text()});
        }
        plan->copies = int(reader.count(32767));
        if (plan->copies < 1) throw Garbage();
        plan->collate = flag(reader);
        plan->firstPageOnly = flag(reader);
        plan->turnLandscapeShapedPages = flag(reader);
    }
    reader.end();
    return order;
}

QByteArray openedFrame(const OpenedDrawing& opened) {
    Writer writer;
    writer.u32(quint32(opened.pages.size()));
    for (const DrawingPage& page : opened.pages) writePage(writer, page);
    const qsizetype notes = std::min<qsizetype>(opened.notes.size(), kMaxNotes);
    writer.u32(quint32(notes));
    for (qsizetype i = 0; i < notes; ++i) writer.text(opened.notes[i]);
    writer.u32(opened.printed ? 1 : 0);
    if (opened.printed) {
        writeOrder(writer, *opened.printed);
        writer.bytes(opened.pdf);
    }
    return writer.frame(Kind::Opened);
}

OpenedDrawing readOpened(const QByteArray& body) {
    Reader reader(body);
    OpenedDrawing opened;
    opened.pages = readPages(reader);
    const quint32 notes = reader.count(kMaxNotes);
    for (quint32 i = 0; i < notes; ++i) opened.notes << reader.text();
    if (flag(reader)) {
        opened.printed = readOrder(reader);
        if (opened.printed->pages.size() != opened.pages.size()) throw Garbage();
        opened.pdf = reader.bytes();
    }
    reader.end();
    return opened;
}

QByteArray printFrame(const PrintOrder& order) {
    Writer writer;
    writeOrder(writer, order);
    return writer.frame(Kind::Print);
}

PrintOrder readPrint(const QByteArray& body) {
    Reader reader(body);
    PrintOrder order = readOrder(reader);
    reader.end();
    return order;
}

QByteArray printedFrame(const QByteArray& pdf) {
    Writer writer;
    writer.bytes(pdf);
    return writer.frame(Kind::Printed);
}

QByteArray readPrinted(const QByteArray& body) {
    Reader reader(body);
    QByteArray pdf = reader.bytes();
    reader.end();
    return pdf;
}

QByteArray failedFrame(qint32 number, const QString& description) {
    Writer writer;
    writer.i32(number);
    writer.text(description);
    return writer.frame(Kind::Failed);
}

std::pair<qint32, QString> readFailed(const QByteArray& body) {
    Reader reader(body);
    const qint32 number = reader.i32();
    QString description = reader.text();
    reader.end();
    if (number == 0) throw Garbage();
    return {number, description};
}

QByteArray closeFrame() {
    return Writer().frame(Kind::Close);
}

bool sendFrame(int fd, const QByteArray& frame) {
    qint64 sent = 0;
    while (sent < frame.size()) {
        const ssize_t n =
            ::send(fd, frame.constData() + sent, size_t(frame.size() - sent), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        sent += n;
    }
    return true;
}

namespace {

// How a receive ends when a read did not get all it asked for; nothing when it did.
std::optional<ReceiveEnd> cutShort(ReadEnd end) {
    switch (end) {
        case ReadEnd::Closed:
            return ReceiveEnd::Closed;
        case ReadEnd::TimedOut:
            return ReceiveEnd::TimedOut;
        case ReadEnd::Done:
            break;
    }
    return std::nullopt;
}

}  // namespace

ReceiveEnd receiveMessage(int fd, std::optional<std::chrono::steady_clock::time_point> deadline,
                          Message& message) {
    char header[kHeaderBytes];
    if (const auto cut = cutShort(readExactly(fd, header, kHeaderBytes, deadline))) return *cut;
    const quint32 kind = qFromLittleEndian<quint32>(header);
    const quint32 size = qFromLittleEndian<quint32>(header + 4);
    if (!knownKind(kind) || size > kMaxBodyBytes) return ReceiveEnd::Garbage;
    message.kind = Kind(kind);
    message.body.clear();
    // The body grows as it arrives, so a size that is a lie costs nothing.
    constexpr qint64 kChunk = 1 << 20;
    for (qint64 got = 0; got < size;) {
        const qint64 piece = std::min<qint64>(kChunk, size - got);
        message.body.resize(got + piece);
        if (const auto cut = cutShort(readExactly(fd, message.body.data() + got, piece, deadline)))
            return *cut;
        got += piece;
    }
    return ReceiveEnd::Message;
}

}  // namespace pbp::visio::worker
