#include "tests/render/render_helpers.h"

#include <librevenge-stream/librevenge-stream.h>

#include <QPainter>

namespace pbp::test {

render::RecordedDrawing recordFile(const QString& path) {
    librevenge::RVNGFileStream stream(path.toLocal8Bit().constData());
    return render::RecordedDrawing::record(stream);
}

render::RecordedDrawing recordBytes(const QByteArray& bytes) {
    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        unsigned(bytes.size()));
    return render::RecordedDrawing::record(stream);
}

QImage renderPage(const render::RecordedDrawing& drawing, int index, qreal dpi) {
    const QSizeF inches = drawing.pageSizeInches(index);
    QImage image(std::max(1, qRound(inches.width() * dpi)),
                 std::max(1, qRound(inches.height() * dpi)), QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(dpi / 72, dpi / 72);
    drawing.paintPage(index, painter);
    return image;
}

}  // namespace pbp::test
