#include "printing/engine/render/picture_decoder.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/svg.h>

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QSvgRenderer>
#include <cmath>
#include <optional>

#include "printing/engine/render/clipped_svg.h"
#include "printing/engine/render/font_substitution.h"
#include "printing/engine/render/little_endian.h"
#include "printing/engine/render/metafile_arcs.h"
#include "printing/engine/render/metafile_clip.h"
#include "printing/engine/render/ole_preview.h"

namespace pbp::render {

namespace {

using namespace little_endian;

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;

// Where the pixels of a device-independent bitmap start, counted from its info header: after
// the header, the colour masks and the colour table. Empty when the header is not one.
std::optional<quint32> dibPixelOffset(const QByteArray& dib) {
    if (dib.size() < 16) return std::nullopt;
    const quint32 headerSize = le32(dib, 0);
    if (headerSize == 12) {  // the OS/2 core header: three bytes per colour
        const quint16 bits = le16(dib, 10);
        return 12 + (bits <= 8 ? (1u << bits) * 3 : 0);
    }
    if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        return std::nullopt;
    if (dib.size() < 40) return std::nullopt;
    const quint16 bits = le16(dib, 14);
    const quint32 compression = le32(dib, 16);
    const quint32 used = le32(dib, 32);
    const quint32 colours = used != 0 ? used : (bits <= 8 ? 1u << bits : 0);
    if (colours > 256 && bits <= 8) return std::nullopt;
    if (colours > (1u << 16)) return std::nullopt;
    // Masks follow a 40-byte header for BI_BITFIELDS (3) and BI_ALPHABITFIELDS (6).
    quint32 masks = 0;
    if (headerSize == 40 && compression == 3) masks = 12;
    if (headerSize == 40 && compression == 6) masks = 16;
    return headerSize + masks + colours * 4;
}

QByteArray fileHeader(quint32 fileSize, quint32 pixelOffset) {
    QByteArray header("BM", 2);
    header.resize(kFileHeaderSize);
    qToLittleEndian<quint32>(fileSize, header.data() + 2);
    qToLittleEndian<quint32>(0, header.data() + 6);
    qToLittleEndian<quint32>(pixelOffset, header.data() + 10);
    return header;
}

// Visio keeps bitmaps as DIBs without a file header. libvisio adds one that assumes no colour
// table, or, for some drawings, none at all; either way the header must say where the pixels
// start for Qt's reader to find them.
QByteArray withBitmapFileHeader(const QByteArray& data) {
    if (data.startsWith("BM") && data.size() > kFileHeaderSize) {
        const QByteArray dib = data.mid(kFileHeaderSize);
        const std::optional<quint32> offset = dibPixelOffset(dib);
        const quint32 stated = le32(data, 10);
        if (!offset || stated != kFileHeaderSize + 40 || *offset == 40) return data;
        return fileHeader(quint32(data.size()), kFileHeaderSize + *offset) + dib;
    }
    const std::optional<quint32> offset = dibPixelOffset(data);
    if (!offset) return data;
    return fileHeader(quint32(data.size() + kFileHeaderSize), kFileHeaderSize + *offset) + data;
}

DecodedPicture decodeBitmap(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        return {{},
                QStringLiteral("the bitmap claims %1 x %2 pixels, more than can be drawn")
                    .arg(size.width())
                    .arg(size.height())};
    const bool lossless = reader.format() != "jpeg";
    QImage image = reader.read();
    if (image.isNull())
        return {{}, QStringLiteral("the bitmap cannot be read (%1)").arg(reader.errorString())};
    return {Picture(std::move(image), lossless), {}};
}

bool isEmf(const QByteArray& data) {
    return data.size() > 0x2B && le32(data, 0) == 1 && data.mid(0x28, 4) == " EMF";
}

bool isWmf(const QByteArray& data) {
    if (data.size() >= 22 && le32(data, 0) == kPlaceableKey) return true;
    return data.size() >= 18 && (le16(data, 0) == 1 || le16(data, 0) == 2) && le16(data, 2) == 9;
}

// libemf2svg names the metafile's fonts as they are ("Arial Cyr"); they print with the
// families the drawing's own text uses.
QByteArray withPrintFonts(const QByteArray& svg) {
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    QString text = QString::fromUtf8(svg);
    QString out;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& m : family.globalMatch(text)) {
        out += QStringView(text).mid(done, m.capturedStart(1) - done);
        out += printFontFamily(m.captured(1)).toHtmlEscaped();
        done = m.capturedEnd(1);
    }
    out += QStringView(text).mid(done);
    return out.toUtf8();
}

std::optional<QByteArray> emfToSvg(QByteArray emf) {
    generatorOptions options{};
    char noNamespace[] = "";
    options.nameSpace = noNamespace;
    options.svgDelimiter = true;
    // Files with EMF+ records carry plain EMF records for readers without EMF+, which
    // libemf2svg draws more completely than its EMF+ part.
    options.emfplus = false;
    char* svg = nullptr;
    size_t length = 0;
    const int converted = emf2svg(emf.data(), size_t(emf.size()), &svg, &length, &options);
    std::optional<QByteArray> result;
    if (converted && svg && length > 0) result = withPrintFonts(QByteArray(svg, qsizetype(length)));
    free(svg);
    return result;
}

// The picture's frame in points from a placeable WMF header (left, top, right, bottom in units
// of which `inch` make an inch); empty when the file has no usable one.
std::optional<wmfD_Rect> placeableFrame(const QByteArray& wmf) {
    if (wmf.size() < 22 || le32(wmf, 0) != kPlaceableKey) return std::nullopt;
    const double left = le16s(wmf, 6), top = le16s(wmf, 8), right = le16s(wmf, 10),
                 bottom = le16s(wmf, 12);
    const double inch = le16(wmf, 14);
    if (inch <= 0 || right <= left || bottom <= top) return std::nullopt;
    wmfD_Rect frame;
    frame.TL.x = float(left * 72 / inch);
    frame.TL.y = float(top * 72 / inch);
    frame.BR.x = float(right * 72 / inch);
    frame.BR.y = float(bottom * 72 / inch);
    return frame;
}

// libwmf styles a polyline's stroke only, and SVG fills what names no fill; it fills at half
// opacity once the background mode is transparent, which in GDI leaves a solid brush's fill
// opaque; it writes text in the metafile's code page, where XML wants UTF-8 (Latin-1 keeps such
// a picture drawable).
QByteArray repairedWmfSvg(QByteArray svg) {
    svg.replace("<polyline ", "<polyline fill=\"none\" ");
    svg.replace("fill-opacity:0.5; ", "fill-opacity:1.0; ");
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(svg);
    return utf8.hasError() ? QString::fromLatin1(svg).toUtf8() : svg;
}

// libwmf names every colour by the nearest of the 147 SVG colour names. Before each drawing call
// the colours of the brush, the pen and the text are noted in the SVG (markColours), and here
// given back exactly to what that call drew: the stroke, and the fill (a text's fill is the text
// colour). "none" stays.
QByteArray withExactColours(const QByteArray& svg) {
    static const QByteArray kMark = "<!--pbp-colours ";
    static const QRegularExpression paint(QStringLiteral("(fill|stroke):([a-z]+)"));
    QByteArray out;
    out.reserve(svg.size());
    qsizetype at = svg.indexOf(kMark);
    out += svg.left(at < 0 ? svg.size() : at);
    while (at >= 0) {
        const qsizetype end = svg.indexOf("-->", at);
        if (end < 0) return svg;
        const QList<QByteArray> colours =
            svg.mid(at + kMark.size(), end - at - kMark.size()).split(' ');
        at = svg.indexOf(kMark, end);
        QString drawn = QString::fromLatin1(svg.mid(end + 3, (at < 0 ? svg.size() : at) - end - 3));
        if (colours.size() == 3) {
            QString exact;
            qsizetype done = 0;
            for (const QRegularExpressionMatch& m : paint.globalMatch(drawn)) {
                const qsizetype tag = drawn.lastIndexOf(u'<', m.capturedStart());
                // Only in a tag, never in a text's characters.
                if (m.captured(2) == u"none" || tag < 0 ||
                    drawn.lastIndexOf(u'>', m.capturedStart()) > tag)
                    continue;
                const bool text = QStringView(drawn).sliced(tag).startsWith(u"<text");
                const QByteArray& colour =
                    m.captured(1) == u"stroke" ? colours[1] : (text ? colours[2] : colours[0]);
                exact += QStringView(drawn).mid(done, m.capturedStart(2) - done);
                exact += u'#' + QString::fromLatin1(colour);
                done = m.capturedEnd(2);
            }
            exact += QStringView(drawn).mid(done);
            drawn = exact;
        }
        out += drawn.toLatin1();
    }
    return out;
}

// While libwmf plays a metafile, notes in its SVG before each drawing call the colours of the
// brush, pen and text, and which of the clips the metafile set is in force, when it sets any
// (libwmf reads the records one by one, so where it stands in the file tells which clip records
// are behind it).
struct WmfMarking {
    const WmfClips* clips = nullptr;
    wmfFunctionReference device{};
    int writtenClip = -1;
};

void markClip(wmfAPI* api, WmfMarking& marking) {
    const int clip = marking.clips->inForceAt(api->bbuf.tell(api->buffer_data));
    if (clip == marking.writtenClip) return;
    wmf_stream_printf(api, WMF_SVG_GetData(api)->out, const_cast<char*>("<!--pbp-clip %d-->\n"),
                      clip);
    marking.writtenClip = clip;
}

void markColours(wmfAPI* api, const wmfDC* dc) {
    const wmfRGB none{};
    const wmfRGB& brush = dc->brush ? dc->brush->lbColor : none;
    const wmfRGB& pen = dc->pen ? dc->pen->lopnColor : none;
    const wmfRGB& text = dc->textcolor;
    wmf_stream_printf(
        api, WMF_SVG_GetData(api)->out,
        const_cast<char*>("<!--pbp-colours %02x%02x%02x %02x%02x%02x %02x%02x%02x-->\n"), brush.r,
        brush.g, brush.b, pen.r, pen.g, pen.b, text.r, text.g, text.b);
}

// `Colours`: the call draws with the brush, pen or text colour (not with a colour of its own, as
// a pixel or a flood does, nor a bitmap).
template <auto Function, bool Colours, typename Arg>
void markedCall(wmfAPI* api, Arg* arg) {
    auto& marking = *static_cast<WmfMarking*>(api->user_data);
    if (marking.clips) markClip(api, marking);
    if (Colours && arg && arg->dc) markColours(api, arg->dc);
    (marking.device.*Function)(api, arg);
}

template <auto Function, bool Colours = true>
void mark(wmfFunctionReference& device) {
    if (device.*Function) device.*Function = &markedCall<Function, Colours>;
}

void markWhileDrawing(wmfAPI* api, WmfMarking& marking) {
    auto& device = *static_cast<wmfFunctionReference*>(api->function_reference);
    marking.device = device;
    api->user_data = &marking;
    mark<&wmfFunctionReference::flood_interior, false>(device);
    mark<&wmfFunctionReference::flood_exterior, false>(device);
    mark<&wmfFunctionReference::draw_pixel, false>(device);
    mark<&wmfFunctionReference::draw_pie>(device);
    mark<&wmfFunctionReference::draw_chord>(device);
    mark<&wmfFunctionReference::draw_arc>(device);
    mark<&wmfFunctionReference::draw_ellipse>(device);
    mark<&wmfFunctionReference::draw_line>(device);
    mark<&wmfFunctionReference::poly_line>(device);
    mark<&wmfFunctionReference::draw_polygon>(device);
    mark<&wmfFunctionReference::draw_polypolygon>(device);
    mark<&wmfFunctionReference::draw_rectangle>(device);
    mark<&wmfFunctionReference::rop_draw, false>(device);
    mark<&wmfFunctionReference::bmp_draw, false>(device);
    mark<&wmfFunctionReference::draw_text>(device);
    mark<&wmfFunctionReference::region_frame, false>(device);
    mark<&wmfFunctionReference::region_paint, false>(device);
}

// `clips` is set to the clips the metafile sets, when it sets any that are followed; the SVG then
// marks where each applies (svgPartedAtClipMarks).
std::optional<QByteArray> wmfToSvg(QByteArray wmf, std::optional<WmfClips>& clips) {
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    wmfAPI* api = nullptr;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api) wmf_api_destroy(api);
        return std::nullopt;
    }
    std::optional<QByteArray> result;
    wmfD_Rect box{};
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(wmf.data()), long(wmf.size())) ==
            wmf_E_None &&
        wmf_scan(api, 0, &box) == wmf_E_None) {
        // The scanned box is the ink's extent; the picture is the whole frame the file states.
        box = placeableFrame(wmf).value_or(box);
        unsigned int width = 0, height = 0;
        wmf_display_size(api, &width, &height, 72, 72);
        wmf_svg_t* svg = WMF_SVG_GetData(api);
        svg->out = wmf_stream_create(api, nullptr);
        char description[] = "picture";
        svg->Description = description;
        svg->bbox = box;
        svg->width = width;
        svg->height = height;
        svg->flags |= WMF_SVG_INLINE_IMAGES;
        WmfMarking marking;
        clips = wmfClips(wmf, QSizeF(width, height));
        marking.clips = clips ? &*clips : nullptr;
        markWhileDrawing(api, marking);
        const bool played = width > 0 && height > 0 && wmf_play(api, 0, &box) == wmf_E_None;
        char* text = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(api, svg->out, &text, &length);
        if (played && text && length > 0)
            result = repairedWmfSvg(withExactColours(QByteArray(text, qsizetype(length))));
        wmf_free(api, text);
        wmf_mem_close(api);
    }
    wmf_api_destroy(api);
    return result;
}

// The EMF's frame (its header's rclFrame, in 0.01 mm) in the SVG's coordinates. libemf2svg
// draws in device pixels and frames the picture by the extent of its ink (rclBounds), shifted
// to the origin; the picture is the frame, margins included. Empty without a usable frame.
std::optional<QRectF> emfFrameInSvg(const QByteArray& emf, const QByteArray& svg) {
    static const QRegularExpression shift(
        QStringLiteral("<g transform=\"translate\\(([-0-9.]+), *([-0-9.]+)\\)\">"));
    const QRegularExpressionMatch m = shift.match(QString::fromUtf8(svg.left(1024)));
    if (!m.hasMatch() || emf.size() < 88) return std::nullopt;
    const auto at = [&](qsizetype offset) { return double(le32s(emf, offset)); };
    const double pixelsX = at(72), pixelsY = at(76), millimetresX = at(80), millimetresY = at(84);
    if (pixelsX <= 0 || pixelsY <= 0 || millimetresX <= 0 || millimetresY <= 0) return std::nullopt;
    const double sx = pixelsX / millimetresX / 100, sy = pixelsY / millimetresY / 100;
    const QRectF frame(QPointF(at(24) * sx, at(28) * sy), QPointF(at(32) * sx, at(36) * sy));
    if (!frame.isValid() || !std::isfinite(frame.width() + frame.height())) return std::nullopt;
    return frame.translated(m.captured(1).toDouble(), m.captured(2).toDouble());
}

DecodedPicture decodeMetafile(const QByteArray& data, bool emf) {
    // Both converters draw arcs wrongly, and polylines and polygons right.
    const QByteArray input = emf ? emfWithArcsAsPolygons(data) : wmfWithArcsAsPolygons(data);
    const std::optional<ClipMarkedEmf> marked = emf ? emfWithClipMarkers(input) : std::nullopt;
    std::optional<WmfClips> wmfClipped;
    std::optional<QByteArray> svg =
        !emf ? wmfToSvg(input, wmfClipped) : emfToSvg(marked ? marked->emf : input);
    if (!svg) return {{}, QStringLiteral("the metafile is damaged or incomplete")};
    const std::optional<QRectF> frame = emf ? emfFrameInSvg(data, *svg) : std::nullopt;
    // Painted in parts under the clips the records set, when they set any.
    std::optional<PartedSvg> parted =
        marked ? svgInClippedParts(*svg, marked->clips)
               : (wmfClipped ? svgPartedAtClipMarks(*svg, wmfClipped->clips) : std::nullopt);
    if (parted) svg = parted->svg;
    if (std::optional<PartedSvg> apart =
            svgWithTextApart(*svg, parted ? parted->parts : std::vector<SvgPart>())) {
        parted = std::move(apart);
        svg = parted->svg;
    }
    auto renderer = std::make_shared<QSvgRenderer>(*svg);
    if (!renderer->isValid())
        return {{}, QStringLiteral("the metafile's drawing could not be understood")};
    renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
    if (frame) renderer->setViewBox(*frame);
    if (!parted) return {Picture(std::move(renderer)), {}};
    return {Picture(std::move(renderer),
                    std::make_shared<const std::vector<SvgPart>>(std::move(parted->parts))),
            {}};
}

}  // namespace

Picture::Picture(QImage bitmap, bool lossless) : bitmap_(std::move(bitmap)), lossless_(lossless) {}

Picture::Picture(std::shared_ptr<QSvgRenderer> vector,
                 std::shared_ptr<const std::vector<SvgPart>> parts)
    : vector_(std::move(vector)), parts_(std::move(parts)) {}

bool Picture::isNull() const {
    return bitmap_.isNull() && !vector_;
}

void Picture::paint(QPainter& painter, const QRectF& boxPt) const {
    if (vector_ && parts_)
        paintSvgParts(*vector_, *parts_, painter, boxPt);
    else if (vector_)
        vector_->render(&painter, boxPt);
    else if (!bitmap_.isNull()) {
        // Qt's PDF writer stores bitmaps as JPEG unless told otherwise.
        const bool hinted = painter.testRenderHint(QPainter::LosslessImageRendering);
        painter.setRenderHint(QPainter::LosslessImageRendering, lossless_);
        painter.drawImage(boxPt, bitmap_);
        painter.setRenderHint(QPainter::LosslessImageRendering, hinted);
    }
}

DecodedPicture decodePicture(const QByteArray& data, const QString& mimeType) {
    if (data.isEmpty()) return {{}, QStringLiteral("the picture holds no data")};
    if (mimeType == QLatin1String("object/ole")) {
        const OlePreview preview = olePreview(data);
        if (preview.data.isEmpty()) return {{}, preview.problem};
        return decodePicture(preview.data, preview.mimeType);
    }
    if (isEmf(data)) return decodeMetafile(data, true);
    if (isWmf(data)) return decodeMetafile(data, false);
    if (mimeType == QLatin1String("image/emf") || mimeType == QLatin1String("image/wmf"))
        return {{}, QStringLiteral("the metafile is damaged or incomplete")};
    if (mimeType == QLatin1String("image/bmp")) return decodeBitmap(withBitmapFileHeader(data));
    return decodeBitmap(data);
}

DecodedPicture PictureDecoder::decode(const QByteArray& data, const QString& mimeType) {
    const auto found = decoded_.constFind(data);
    if (found != decoded_.constEnd()) return *found;
    DecodedPicture decoded = decodePicture(data, mimeType);
    decoded_.insert(data, decoded);
    return decoded;
}

}  // namespace pbp::render
