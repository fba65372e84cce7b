#pragma once

// The messages between the program and a drawing worker (printing/engine/worker_service.h) on
// their socket. A message is a header of two little-endian 32-bit numbers, its kind and the
// length of its body, followed by the body. Numbers in a body are little-endian, texts are a
// 32-bit byte count and UTF-8. Nothing read is trusted: every count and size is checked
// against the bounds below before it is used, and a message that breaks them is garbage.

#include <QByteArray>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <stdexcept>
#include <vector>

#include "printing/engine/drawing_file.h"
#include "printing/engine/sheet_plan.h"
#include "printing/engine/sheet_preview.h"

namespace pbp::visio::worker {

enum class Kind : quint32 {
    Open = 1,      // program -> worker: path and, optionally, how to print it at once
    Print = 2,     // program -> worker: the sheet plan to paint
    Close = 3,     // program -> worker: forget the drawing (no answer)
    Preview = 4,   // program -> worker: the sheets a drawing would print, one of them as a picture
    Opened = 11,   // worker -> program: the pages and, when asked, the PDF
    Printed = 12,  // worker -> program: the PDF
    Failed = 13,   // worker -> program: error number and description
    Previewed = 14,  // worker -> program: the sheets and the asked one's picture
};

inline constexpr quint32 kMaxBodyBytes = 1u << 30;  // a PDF of many copies stays far below
inline constexpr quint32 kMaxTextBytes = 64 * 1024;
inline constexpr quint32 kMaxPages = 100'000;
inline constexpr quint32 kMaxSheets = 10'000'000;
inline constexpr quint32 kMaxOfferedPapers = 1000;
inline constexpr quint32 kMaxNotes = 1000;
inline constexpr quint32 kMaxPreviewPixels = 4096;

// The file descriptor a worker finds its socket on.
inline constexpr int kSocketFd = 3;
// The exit code of a worker that ran out of memory within its limit.
inline constexpr int kOutOfMemoryExit = 86;
// The exit code of a worker that could not confine itself (printing/engine/worker_sandbox.h).
inline constexpr int kNoSandboxExit = 87;

// A message that breaks the protocol.
struct Garbage : std::runtime_error {
    Garbage() : std::runtime_error("malformed message from a drawing worker") {}
};

struct Message {
    Kind kind = Kind::Failed;
    QByteArray body;
};

// Builds a message in place: its body after room for the header, which frame() fills in.
class Writer {
  public:
    Writer();
    void u32(quint32 value);
    void i32(qint32 value) { u32(quint32(value)); }
    void f64(double value);
    void text(const QString& value);
    void bytes(const QByteArray& value);
    QByteArray frame(Kind kind);

  private:
    QByteArray body_;
};

// Reads a message body; throws Garbage on anything out of bounds or left over.
class Reader {
  public:
    explicit Reader(const QByteArray& body) : body_(body) {}
    quint32 u32();
    qint32 i32() { return qint32(u32()); }
    double f64();
    QString text();
    QByteArray bytes();
    // A count no larger than `bound`.
    quint32 count(quint32 bound);
    void end() const;

  private:
    const char* take(qint64 size);
    const QByteArray& body_;
    qint64 at_ = 0;
};

// A worker's answer to Open: the pages, what the renderer could not draw (its first kMaxNotes
// notes) and, when plan options came with it and the drawing has sheets to print, the plan it
// painted and the PDF.
struct OpenedDrawing {
    std::vector<DrawingPage> pages;
    std::optional<SheetPlan> printed;
    QByteArray pdf;
    QStringList notes;
};

// The body of each message kind.
// Open: with `keep` the worker keeps the drawing for Print and Close; without, it answers and
// forgets it, having painted it first when plan options came with it.
struct OpenOrder {
    QString path;
    bool keep = true;
    std::optional<PlanOptions> plan;
};
QByteArray openFrame(const OpenOrder& order);
OpenOrder readOpen(const QByteArray& body);

QByteArray openedFrame(const OpenedDrawing& opened);
OpenedDrawing readOpened(const QByteArray& body);
// Print: the sheets to paint, as planned by the program.
QByteArray printFrame(const SheetPlan& plan);
SheetPlan readPrint(const QByteArray& body);

QByteArray printedFrame(const QByteArray& pdf);
QByteArray readPrinted(const QByteArray& body);

QByteArray failedFrame(qint32 number, const QString& description);
std::pair<qint32, QString> readFailed(const QByteArray& body);

// Preview: the sheets the plan prints for the drawing at `path`, and sheet `sheet` (none for
// -1) painted as a PNG whose longer edge is `longEdgePixels`. The worker keeps the drawing
// for the next Preview of the same unchanged file.
struct PreviewOrder {
    QString path;
    PlanOptions plan;
    qint32 sheet = -1;
    quint32 longEdgePixels = 0;
};
QByteArray previewFrame(const PreviewOrder& order);
PreviewOrder readPreview(const QByteArray& body);

QByteArray previewedFrame(const SheetPreview& preview);
SheetPreview readPreviewed(const QByteArray& body);

QByteArray closeFrame();

// Writes the whole frame to the socket; false when the other side is gone.
bool sendFrame(int fd, const QByteArray& frame);

// Why receiving a message ended without one.
enum class ReceiveEnd { Message, Closed, TimedOut, Garbage };

// Receives one message, waiting at most until `deadline` (none: for ever).
ReceiveEnd receiveMessage(int fd, std::optional<std::chrono::steady_clock::time_point> deadline,
                          Message& message);

}  // namespace pbp::visio::worker
