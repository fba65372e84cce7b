#include "printing/engine/render/recorded_drawing.h"

#include <libvisio/libvisio.h>

#include <QPainter>

#include "printing/engine/engine_errors.h"
#include "printing/engine/render/completed_input.h"
#include "printing/engine/render/display_list.h"
#include "printing/engine/render/drawing_recorder.h"
#include "printing/engine/render/page_painter.h"

namespace pbp::render {

namespace {

// Unreadable drawings are reported with the engine's number for them.
constexpr qint32 kUnreadableDrawing = visio::engine_error::kBadFormat;

}  // namespace

DrawingTooLarge::DrawingTooLarge(const QString& reason)
    : VbError(kUnreadableDrawing, QStringLiteral("The drawing cannot be printed: %1.").arg(reason)),
      reason_(reason) {}

struct RecordedDrawing::Data : DrawingContent {};

RecordedDrawing::RecordedDrawing(std::shared_ptr<const Data> data) : data_(std::move(data)) {}

RecordedDrawing RecordedDrawing::record(librevenge::RVNGInputStream& input) {
    input.seek(0, librevenge::RVNG_SEEK_SET);
    if (!libvisio::VisioDocument::isSupported(&input))
        throw VbError(kUnreadableDrawing, QStringLiteral("The file is not a drawing this program "
                                                         "can read."));
    // Shapes that lose their inherited geometry in libvisio are completed first; should the
    // completed drawing not read, the drawing is read as it is. A drawing handed over with
    // nothing completed that does not read would not read as it is either.
    if (const CompletedInput prepared = withInheritedGeometry(input); prepared.stream) {
        try {
            return recordSupported(*prepared.stream);
        } catch (const DrawingTooLarge&) {
            throw;
        } catch (const VbError&) {
            if (!prepared.completed) throw;
        }
    }
    return recordSupported(input);
}

RecordedDrawing RecordedDrawing::recordSupported(librevenge::RVNGInputStream& input) {
    input.seek(0, librevenge::RVNG_SEEK_SET);
    auto data = std::make_shared<Data>();
    DrawingRecorder recorder(*data);
    bool parsed = false;
    try {
        parsed = libvisio::VisioDocument::parse(&input, &recorder);
    } catch (const RecordingStopped&) {
    } catch (const std::exception& e) {
        throw VbError(
            kUnreadableDrawing,
            QStringLiteral("The drawing could not be read (%1).").arg(QString::fromUtf8(e.what())));
    }
    if (!recorder.limitExceeded().isEmpty()) throw DrawingTooLarge(recorder.limitExceeded());
    if (!parsed)
        throw VbError(
            kUnreadableDrawing,
            QStringLiteral("The drawing is damaged or incomplete and could not be read."));
    return RecordedDrawing(std::move(data));
}

int RecordedDrawing::pageCount() const {
    return int(data_->pages.size());
}

QSizeF RecordedDrawing::pageSizeInches(int index) const {
    if (index < 0 || index >= pageCount()) return {};
    return data_->pages[std::size_t(index)].sizeInches;
}

QString RecordedDrawing::pageName(int index) const {
    if (index < 0 || index >= pageCount()) return {};
    return data_->pages[std::size_t(index)].name;
}

void RecordedDrawing::paintPage(int index, QPainter& painter) const {
    if (index < 0 || index >= pageCount()) return;
    paintRecordedPage(data_->pages[std::size_t(index)], painter);
}

QStringList RecordedDrawing::log() const {
    return data_->log;
}

}  // namespace pbp::render
