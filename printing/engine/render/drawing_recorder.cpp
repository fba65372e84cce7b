#include "printing/engine/render/drawing_recorder.h"

#include <algorithm>
#include <cmath>

#include "printing/engine/render/line_ends.h"
#include "printing/engine/render/style_reader.h"
#include "printing/engine/render/svg_path.h"
#include "printing/engine/render/text_builder.h"
#include "printing/engine/render/units.h"

namespace pbp::render {

namespace {

QPolygonF points(const librevenge::RVNGPropertyList& props) {
    QPolygonF polygon;
    if (const librevenge::RVNGPropertyListVector* v = props.child("svg:points"))
        for (unsigned long i = 0; i < v->count(); ++i)
            polygon << QPointF(lengthPt((*v)[i], "svg:x"), lengthPt((*v)[i], "svg:y"));
    return polygon;
}

// What a code-page converter puts for bytes it has no character for: the replacement mark or
// the substitute control code.
bool undecodable(QChar c) {
    return c == QChar::ReplacementCharacter || c == QChar(0x1a);
}

// A note's quotation of a text: on one line, cut short.
QString quoted(const QString& text) {
    constexpr qsizetype kQuotedLength = 40;
    const QString line = text.simplified();
    return u'"' + (line.size() > kQuotedLength ? line.left(kQuotedLength) + u'\u2026' : line) +
           u'"';
}

QString characters(qsizetype count) {
    return count == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(count);
}

QString plainText(const TextBlock& block) {
    QStringList paragraphs;
    for (const TextParagraph& p : block.source) paragraphs << p.text;
    return paragraphs.join(u' ');
}

// A box whose every measure is a number; a damaged drawing can hand over infinities.
bool usableBox(const TextBlock& b) {
    return std::isfinite(b.boxPt.x() + b.boxPt.y() + b.boxPt.width() + b.boxPt.height() +
                         b.padLeftPt + b.padRightPt + b.padTopPt + b.padBottomPt + b.rotationDeg);
}

}  // namespace

DrawingRecorder::DrawingRecorder(DrawingContent& out)
    : out_(out), style_(std::make_shared<Style>()) {}

DrawingRecorder::~DrawingRecorder() = default;

void DrawingRecorder::account(qint64 bytes) {
    if (!limitExceeded_.isEmpty()) throw RecordingStopped();
    recordedBytes_ += bytes;
    if (recordedBytes_ > kMaxRecordedBytes)
        stop(QStringLiteral("its pages hold more than %1 MB of drawing")
                 .arg(kMaxRecordedBytes >> 20));
}

void DrawingRecorder::stop(const QString& reason) {
    limitExceeded_ = reason;
    page_ = nullptr;
    text_.reset();
    out_.pages.clear();
    out_.pages.shrink_to_fit();
    throw RecordingStopped();
}

bool DrawingRecorder::recording() const {
    if (!page_) return false;
    for (bool hidden : layerHidden_)
        if (hidden) return false;
    return true;
}

void DrawingRecorder::startPage(const librevenge::RVNGPropertyList& props) {
    if (!limitExceeded_.isEmpty()) throw RecordingStopped();
    if (out_.pages.size() >= std::size_t(kMaxRecordedPages))
        stop(QStringLiteral("it has more than %1 pages").arg(kMaxRecordedPages));
    account(qint64(sizeof(Page)));
    Page page;
    page.sizeInches = QSizeF(std::max(0.0, lengthPt(props, "svg:width") / kPointsPerInch),
                             std::max(0.0, lengthPt(props, "svg:height") / kPointsPerInch));
    page.name = text(props, "draw:name").left(kMaxPageNameLength);
    out_.pages.push_back(std::move(page));
    page_ = &out_.pages.back();
    layerHidden_.clear();
    style_ = std::make_shared<Style>();
    styleHidden_ = false;
}

void DrawingRecorder::endPage() {
    page_ = nullptr;
    text_.reset();
}

void DrawingRecorder::setStyle(const librevenge::RVNGPropertyList& props) {
    style_ = std::make_shared<const Style>(readStyle(props));
    styleHidden_ = isNonPrinting(props);
}

void DrawingRecorder::startLayer(const librevenge::RVNGPropertyList& props) {
    layerHidden_.push_back(isNonPrinting(props));
}

void DrawingRecorder::endLayer() {
    if (!layerHidden_.empty()) layerHidden_.pop_back();
}

void DrawingRecorder::addPath(QPainterPath path, const librevenge::RVNGPropertyList& props) {
    if (!recording() || styleHidden_ || isNonPrinting(props) || path.isEmpty()) return;
    const Style& s = *style_;
    if (s.fill.kind == Fill::Kind::None && !s.stroke.visible) return;
    account(qint64(sizeof(Item)) + path.elementCount() * qint64(sizeof(QPainterPath::Element)));
    path.setFillRule(s.fill.rule);
    LineEnds ends = s.stroke.visible ? placeLineEnds(path, s.stroke) : LineEnds{};
    page_->items.emplace_back(
        PathItem{std::move(path), style_, std::move(ends.stroke), std::move(ends.markers)});
}

void DrawingRecorder::drawRectangle(const librevenge::RVNGPropertyList& props) {
    QPainterPath path;
    const QRectF r(lengthPt(props, "svg:x"), lengthPt(props, "svg:y"), lengthPt(props, "svg:width"),
                   lengthPt(props, "svg:height"));
    path.addRoundedRect(r, lengthPt(props, "svg:rx"), lengthPt(props, "svg:ry"));
    addPath(std::move(path), props);
}

void DrawingRecorder::drawEllipse(const librevenge::RVNGPropertyList& props) {
    const QPointF centre(lengthPt(props, "svg:cx"), lengthPt(props, "svg:cy"));
    const qreal rx = lengthPt(props, "svg:rx"), ry = lengthPt(props, "svg:ry");
    QPainterPath path;
    path.addEllipse(QPointF(), rx, ry);
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(-number(props, "librevenge:rotate").value_or(0));
    addPath(t.map(path), props);
}

void DrawingRecorder::drawPolygon(const librevenge::RVNGPropertyList& props) {
    QPainterPath path;
    path.addPolygon(points(props));
    path.closeSubpath();
    addPath(std::move(path), props);
}

void DrawingRecorder::drawPolyline(const librevenge::RVNGPropertyList& props) {
    QPainterPath path;
    path.addPolygon(points(props));
    addPath(std::move(path), props);
}

void DrawingRecorder::drawPath(const librevenge::RVNGPropertyList& props) {
    if (const librevenge::RVNGPropertyListVector* d = props.child("svg:d"))
        addPath(pathFromActions(*d), props);
}

void DrawingRecorder::drawConnector(const librevenge::RVNGPropertyList& props) {
    if (props.child("svg:d")) {
        drawPath(props);
        return;
    }
    QPainterPath path(QPointF(lengthPt(props, "svg:x1"), lengthPt(props, "svg:y1")));
    path.lineTo(lengthPt(props, "svg:x2"), lengthPt(props, "svg:y2"));
    addPath(std::move(path), props);
}

void DrawingRecorder::drawGraphicObject(const librevenge::RVNGPropertyList& props) {
    if (!recording() || isNonPrinting(props)) return;
    const QRectF box(lengthPt(props, "svg:x"), lengthPt(props, "svg:y"),
                     lengthPt(props, "svg:width"), lengthPt(props, "svg:height"));
    const librevenge::RVNGProperty* data = props["office:binary-data"];
    // Binary properties print as base64.
    const librevenge::RVNGBinaryData bytes(data ? data->getStr() : librevenge::RVNGString());
    const QString type = text(props, "librevenge:mime-type");
    DecodedPicture decoded = pictures_.decode(
        QByteArray(reinterpret_cast<const char*>(bytes.getDataBuffer()), qsizetype(bytes.size())),
        type);
    if (decoded.picture.isNull()) {
        // Embedded objects come as "object/ole"; the run counts notes by their first word.
        const QString kind = type.startsWith(QLatin1String("object/")) ? QStringLiteral("Object")
                                                                       : QStringLiteral("Picture");
        out_.log << QStringLiteral(
                        "%1 of type %2 on page %3 could not be drawn (%4); its box "
                        "is left empty.")
                        .arg(kind, type, QString::number(out_.pages.size()), decoded.problem);
        return;
    }
    account(qint64(sizeof(Item)) + qint64(bytes.size()));
    page_->items.emplace_back(
        ImageItem{box, number(props, "librevenge:rotate").value_or(0), std::move(decoded.picture),
                  flag(props, "draw:mirror-horizontal"), flag(props, "draw:mirror-vertical")});
}

void DrawingRecorder::noteText(const QString& text, const QString& why) {
    const QString note = QStringLiteral("Text %1 on page %2 %3.")
                             .arg(quoted(text), QString::number(out_.pages.size()), why);
    account(note.size() * qint64(sizeof(QChar)));
    out_.log << note;
}

void DrawingRecorder::startTextObject(const librevenge::RVNGPropertyList& props) {
    text_.reset();
    inTextObject_ = true;
    if (recording() && !isNonPrinting(props)) text_ = std::make_unique<TextBuilder>(props);
}

void DrawingRecorder::endTextObject() {
    if (text_ && page_)
        if (std::shared_ptr<const TextBlock> block = text_->finish()) {
            if (!usableBox(*block)) {
                noteText(plainText(*block), QStringLiteral("has no usable box and was left out"));
            } else {
                qsizetype unprintable = 0;
                for (const TextParagraph& p : block->source) unprintable += glyphs_.unprintable(p);
                if (unprintable > 0)
                    noteText(plainText(*block),
                             QStringLiteral("holds %1 that no installed font can print")
                                 .arg(characters(unprintable)));
                page_->items.emplace_back(TextItem{std::move(block)});
            }
        }
    text_.reset();
    inTextObject_ = false;
}

void DrawingRecorder::openParagraph(const librevenge::RVNGPropertyList& props) {
    if (text_) text_->openParagraph(props);
}

void DrawingRecorder::openUnorderedListLevel(const librevenge::RVNGPropertyList& props) {
    if (text_) text_->openBulletList(props);
}

void DrawingRecorder::closeUnorderedListLevel() {
    if (text_) text_->closeBulletList();
}

void DrawingRecorder::closeParagraph() {
    if (text_) text_->closeParagraph();
}

void DrawingRecorder::openSpan(const librevenge::RVNGPropertyList& props) {
    if (text_) text_->openSpan(props);
}

void DrawingRecorder::closeSpan() {
    if (text_) text_->closeSpan();
}

void DrawingRecorder::insertTab() {
    if (text_) text_->append(QStringLiteral("\t"));
}

void DrawingRecorder::insertSpace() {
    if (text_) text_->append(QStringLiteral(" "));
}

void DrawingRecorder::insertText(const librevenge::RVNGString& text) {
    if (!inTextObject_ && recording()) {
        // Only a text object has a box to set text in.
        noteText(QString::fromUtf8(text.cstr()),
                 QStringLiteral("lies outside any text box and was left out"));
        return;
    }
    if (!text_) return;
    account(text.size() * qint64(sizeof(QChar)));
    const QString decoded = QString::fromUtf8(text.cstr());
    if (const qsizetype lost = std::count_if(decoded.begin(), decoded.end(), undecodable))
        noteText(decoded,
                 QStringLiteral("holds %1 that could not be decoded").arg(characters(lost)));
    text_->append(decoded);
}

void DrawingRecorder::insertLineBreak() {
    if (text_) text_->append(QString(QChar::LineSeparator));
}

}  // namespace pbp::render
