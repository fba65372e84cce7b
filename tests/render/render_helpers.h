#pragma once

#include <QImage>
#include <QString>

#include "printing/engine/render/recorded_drawing.h"

namespace pbp::test {

// Records the drawing in the file (throws pbp::VbError as the renderer does).
render::RecordedDrawing recordFile(const QString& path);
// Records a drawing given as bytes (a .vdx written by the test).
render::RecordedDrawing recordBytes(const QByteArray& bytes);
// Paints page `index` on a white image at `dpi` (page in points scaled to the image).
QImage renderPage(const render::RecordedDrawing& drawing, int index, qreal dpi = 72);

}  // namespace pbp::test
