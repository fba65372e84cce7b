#pragma once

// Pictures placed on a page (librevenge's drawGraphicObject): bitmaps read by Qt's image
// readers, EMF and WMF metafiles turned into SVG (libemf2svg, libwmf) and drawn as vectors by
// QtSvg. Every picture is decoded once, when the drawing is recorded.

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QSvgRenderer;

namespace pbp::render {

struct SvgPart;

// A decoded picture, painted stretched to its box as Visio does. Null when nothing could be
// decoded. Copies share the decoded data; paint from one thread at a time.
class Picture {
  public:
    Picture() = default;
    // `lossless`: the bitmap was stored without loss, and a PDF should keep it so.
    Picture(QImage bitmap, bool lossless);
    // `parts`: the SVG is painted group by group under each group's clip (clipped_svg.h).
    explicit Picture(std::shared_ptr<QSvgRenderer> vector,
                     std::shared_ptr<const std::vector<SvgPart>> parts = {});

    bool isNull() const;
    void paint(QPainter& painter, const QRectF& boxPt) const;

  private:
    QImage bitmap_;
    bool lossless_ = true;
    std::shared_ptr<QSvgRenderer> vector_;
    std::shared_ptr<const std::vector<SvgPart>> parts_;
};

struct DecodedPicture {
    Picture picture;
    QString problem;  // why the picture is null, for the drawing's log
};

// Bitmaps larger than this many pixels are refused rather than allocated (256 MiB at 32 bits
// a pixel).
inline constexpr qint64 kMaxPicturePixels = qint64(64) * 1024 * 1024;

// Decodes the bytes libvisio hands over with `mimeType` (image/emf, image/wmf, image/bmp with
// or without a file header, image/png, image/jpeg, image/gif, image/tiff, and object/ole, an
// embedded object drawn by its preview picture). The content decides the format where it
// tells; the type only names what the content does not.
DecodedPicture decodePicture(const QByteArray& data, const QString& mimeType);

// Decodes each distinct picture of one drawing once: a stencil's picture repeats on every
// shape made from it.
class PictureDecoder {
  public:
    DecodedPicture decode(const QByteArray& data, const QString& mimeType);

  private:
    QHash<QByteArray, DecodedPicture> decoded_;
};

}  // namespace pbp::render
