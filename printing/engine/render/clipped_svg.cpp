#include "printing/engine/render/clipped_svg.h"

#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "printing/engine/render/metafile_clip.h"

namespace pbp::render {

namespace {

// Copies the element the reader stands on, with everything inside it; returns the ids of the
// clipPath definitions in it.
QStringList copyElement(QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    QStringList clipPaths;
    int depth = 0;
    do {
        writer.writeCurrentToken(reader);
        if (reader.isStartElement()) {
            ++depth;
            if (reader.name() == QLatin1String("clipPath"))
                clipPaths << reader.attributes().value(QLatin1String("id")).toString();
        }
        if (reader.isEndElement()) --depth;
    } while (depth > 0 && !reader.atEnd() && (reader.readNext(), true));
    return clipPaths;
}

// Opens the group of a part under `clip` (in the SVG's user units).
void openPart(QXmlStreamWriter& writer, PartedSvg& out, std::optional<QPainterPath> clip) {
    SvgPart part{QStringLiteral("pbp-part-%1").arg(out.parts.size()), std::move(clip)};
    writer.writeStartElement(QStringLiteral("g"));
    writer.writeAttribute(QStringLiteral("id"), part.id);
    // Keeps the group's bounds from collapsing to a line, which render() cannot map.
    writer.writeEmptyElement(QStringLiteral("rect"));
    writer.writeAttribute(QStringLiteral("width"), QStringLiteral("1"));
    writer.writeAttribute(QStringLiteral("height"), QStringLiteral("1"));
    writer.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
    writer.writeAttribute(QStringLiteral("stroke"), QStringLiteral("none"));
    out.parts.push_back(std::move(part));
}

// Copies the tokens from the one the reader stands on up to the end of the element they are
// in, that end included.
void copyToEnd(QXmlStreamReader& reader, QXmlStreamWriter& writer) {
    for (int level = 0; !reader.atEnd(); reader.readNext()) {
        writer.writeCurrentToken(reader);
        if (reader.isStartElement()) ++level;
        if (reader.isEndElement() && level-- == 0) return;
    }
}

// An element open inside a part, opened again when the part goes on in a new group.
struct OpenElement {
    QXmlStreamAttributes attributes;
    QString name;
    QTransform transform;    // from its units to the SVG's
    bool holdsText = false;  // text elements in it can be taken out
};

// A group that only moves what it holds, whose text elements can be painted apart.
std::optional<QTransform> plainGroupTransform(const QXmlStreamReader& reader) {
    if (reader.qualifiedName() != QLatin1String("g")) return std::nullopt;
    QTransform transform;
    for (const QXmlStreamAttribute& attribute : reader.attributes()) {
        if (attribute.qualifiedName() == QLatin1String("clip-path")) continue;
        if (attribute.qualifiedName() != QLatin1String("transform")) return std::nullopt;
        const std::optional<QTransform> own = svgTransform(attribute.value().toString());
        if (!own) return std::nullopt;
        transform = *own;
    }
    return transform;
}

bool isDrawn(QStringView element) {
    static const QStringList kDrawn{
        QStringLiteral("g"),        QStringLiteral("path"),    QStringLiteral("rect"),
        QStringLiteral("circle"),   QStringLiteral("ellipse"), QStringLiteral("line"),
        QStringLiteral("polyline"), QStringLiteral("polygon"), QStringLiteral("text"),
        QStringLiteral("image"),    QStringLiteral("use"),     QStringLiteral("switch"),
        QStringLiteral("a")};
    return kDrawn.contains(element);
}

// A region in picture subpixels as a path in the SVG's units, shifted by `shift`.
QPainterPath clipPath(const QRegion& region, QPointF shift) {
    QPainterPath path;
    path.addRegion(region);
    constexpr qreal pixel = 1.0 / kClipSubpixels;
    return QTransform(pixel, 0, 0, pixel, shift.x(), shift.y()).map(path);
}

}  // namespace

std::optional<PartedSvg> svgPartedAtClipMarks(const QByteArray& svg,
                                              const std::vector<std::optional<QRegion>>& clips) {
    static const QRegularExpression mark(QStringLiteral("^pbp-clip (-?[0-9]+)$"));
    QXmlStreamReader reader(svg);
    reader.setNamespaceProcessing(false);
    PartedSvg out;
    QXmlStreamWriter writer(&out.svg);
    int depth = 0, current = -1, open = -2;  // the clip in force, and that of the open part
    const auto closePart = [&] {
        if (open != -2) writer.writeEndElement();
        open = -2;
    };
    while (!reader.atEnd()) {
        reader.readNext();
        if (depth == 1 && reader.isComment()) {
            if (const QRegularExpressionMatch m = mark.match(reader.text()); m.hasMatch()) {
                current = m.captured(1).toInt();
                if (current >= int(clips.size())) return std::nullopt;
                continue;
            }
        }
        if (depth == 1 && reader.isStartElement() && reader.name() != QLatin1String("desc")) {
            if (open != current) {
                closePart();
                const std::optional<QRegion>& region =
                    current < 0 ? std::nullopt : clips[std::size_t(current)];
                openPart(writer, out,
                         region ? std::optional(clipPath(*region, QPointF())) : std::nullopt);
                open = current;
            }
            copyElement(reader, writer);
            continue;
        }
        if (reader.isEndElement() && --depth == 0) closePart();
        if (reader.isStartElement()) ++depth;
        writer.writeCurrentToken(reader);
    }
    if (reader.hasError() || out.parts.empty()) return std::nullopt;
    return out;
}

std::optional<PartedSvg> svgInClippedParts(const QByteArray& svg,
                                           const std::vector<std::optional<QRegion>>& clips) {
    static const QRegularExpression translate(
        QStringLiteral("^translate\\(([-0-9.]+), *([-0-9.]+)\\)$"));
    static const QRegularExpression reference(QStringLiteral("^url\\(#(.*)\\)$"));
    QXmlStreamReader reader(svg);
    reader.setNamespaceProcessing(false);
    PartedSvg out;
    QXmlStreamWriter writer(&out.svg);
    QHash<QString, int> clipIndex;
    QXmlStreamAttributes outer;
    QPointF shift;
    int current = -1;  // the clip libemf2svg last defined: what unmarked elements are drawn with
    bool partOpen = false;
    std::optional<QRegion> openClip;
    int depth = 0;
    const auto closePart = [&] {
        if (!partOpen) return;
        writer.writeEndElement();
        writer.writeEndElement();
        partOpen = false;
    };
    const auto partFor = [&](int clip) {
        const std::optional<QRegion> region = clip < 0 ? std::nullopt : clips[std::size_t(clip)];
        if (partOpen && region == openClip) return;
        closePart();
        openPart(writer, out, region ? std::optional(clipPath(*region, shift)) : std::nullopt);
        writer.writeStartElement(QStringLiteral("g"));
        writer.writeAttributes(outer);
        partOpen = true;
        openClip = region;
    };
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement()) {
            if (--depth == 1) {
                closePart();  // the end of libemf2svg's outer group
                continue;
            }
            writer.writeCurrentToken(reader);
            continue;
        }
        if (!reader.isStartElement() || (depth != 1 && depth != 2)) {
            writer.writeCurrentToken(reader);
            if (reader.isStartElement()) ++depth;
            continue;
        }
        if (depth == 1) {  // libemf2svg's one group, which shifts the ink to the origin
            const QRegularExpressionMatch m =
                translate.match(reader.attributes().value(QLatin1String("transform")));
            if (reader.name() != QLatin1String("g") || !m.hasMatch() || !outer.isEmpty())
                return std::nullopt;
            outer = reader.attributes();
            shift = QPointF(m.captured(1).toDouble(), m.captured(2).toDouble());
            ++depth;
            continue;
        }
        if (reader.name() == QLatin1String("defs")) {  // kept for the patterns it may hold
            for (const QString& id : copyElement(reader, writer)) {
                if (clipIndex.size() >= qsizetype(clips.size())) return std::nullopt;
                current = int(clipIndex.size());
                clipIndex.insert(id, current);
            }
            continue;
        }
        int clip = current;
        const QRegularExpressionMatch m =
            reference.match(reader.attributes().value(QLatin1String("clip-path")));
        if (m.hasMatch()) clip = clipIndex.value(m.captured(1), current);
        partFor(clip);
        copyElement(reader, writer);
    }
    if (reader.hasError() || clipIndex.size() != qsizetype(clips.size()) || out.parts.empty())
        return std::nullopt;
    return out;
}

std::optional<PartedSvg> svgWithTextApart(const QByteArray& svg,
                                          const std::vector<SvgPart>& parts) {
    if (!svg.contains("<text")) return std::nullopt;
    QHash<QString, std::optional<QPainterPath>> clipOf;
    for (const SvgPart& part : parts) clipOf.insert(part.id, part.clip);
    QXmlStreamReader reader(svg);
    reader.setNamespaceProcessing(false);
    PartedSvg out;
    QXmlStreamWriter writer(&out.svg);
    std::vector<OpenElement> open;  // inside the part being written
    std::optional<QPainterPath> clip;
    bool inPart = false, ownGroup = false, goOnInNewGroup = false;
    int depth = 0, taken = 0;
    const auto endPart = [&] {
        for (std::size_t i = 0; i <= open.size(); ++i) writer.writeEndElement();
        inPart = false;
    };
    const auto startPart = [&] {
        openPart(writer, out, clip);
        for (const OpenElement& element : open) {
            writer.writeStartElement(element.name);
            writer.writeAttributes(element.attributes);
        }
        inPart = true;
        goOnInNewGroup = false;
    };
    // After a text taken out, what follows goes on in a new group of the same part.
    const auto goOnAfterText = [&] {
        if (!goOnInNewGroup) return;
        endPart();
        startPart();
    };
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement()) {
            --depth;
            if (inPart && !open.empty()) {
                open.pop_back();
                writer.writeEndElement();
                continue;
            }
            if (inPart && (ownGroup ? depth == 1 : depth == 0)) endPart();
            if (depth == 1 && ownGroup) continue;  // the part's own group, already ended
            writer.writeCurrentToken(reader);
            continue;
        }
        if (!reader.isStartElement()) {
            writer.writeCurrentToken(reader);
            continue;
        }
        if (depth == 1) {
            const QString id = reader.attributes().value(QLatin1String("id")).toString();
            if (inPart && (clipOf.contains(id) || !parts.empty() || !isDrawn(reader.name())))
                endPart();
            if (clipOf.contains(id)) {  // a part's group: written anew as the part goes on
                clip = clipOf.value(id);
                ownGroup = true;
                startPart();
                ++depth;
                continue;
            }
            if (!parts.empty() || !isDrawn(reader.name())) {
                copyElement(reader, writer);
                continue;
            }
            if (!inPart) {
                clip.reset();
                ownGroup = false;
                startPart();
            }
        }
        if (!inPart) {
            writer.writeCurrentToken(reader);
            ++depth;
            continue;
        }
        const OpenElement* parent = open.empty() ? nullptr : &open.back();
        const QTransform outer = parent ? parent->transform : QTransform();
        if (reader.qualifiedName() == QLatin1String("text") && (!parent || parent->holdsText)) {
            const QXmlStreamAttributes attributes = reader.attributes();
            const QString name = reader.qualifiedName().toString();
            QString content;
            bool nested = false;
            while (!reader.atEnd() && !nested) {
                reader.readNext();
                if (reader.isEndElement()) break;
                nested = reader.isStartElement();
                if (reader.isCharacters()) content += reader.text();
            }
            const std::optional<SvgText> text =
                nested ? std::nullopt : readSvgText(attributes, content, outer);
            if (text) {
                out.parts.back().texts.push_back(*text);
                goOnInNewGroup = true;
                ++taken;
                continue;
            }
            goOnAfterText();
            writer.writeStartElement(name);
            writer.writeAttributes(attributes);
            writer.writeCharacters(content);
            if (nested)
                copyToEnd(reader, writer);
            else
                writer.writeEndElement();
            continue;
        }
        goOnAfterText();
        const std::optional<QTransform> group = plainGroupTransform(reader);
        open.push_back({reader.attributes(), reader.qualifiedName().toString(),
                        group.value_or(QTransform()) * outer,
                        group && (!parent || parent->holdsText)});
        writer.writeCurrentToken(reader);
        ++depth;
    }
    if (reader.hasError() || taken == 0) return std::nullopt;
    return out;
}

void paintSvgParts(QSvgRenderer& renderer, const std::vector<SvgPart>& parts, QPainter& painter,
                   const QRectF& box) {
    const QRectF view = renderer.viewBoxF();
    if (view.isEmpty()) return;
    const QTransform toBox =
        QTransform::fromTranslate(-view.left(), -view.top()) *
        QTransform::fromScale(box.width() / view.width(), box.height() / view.height()) *
        QTransform::fromTranslate(box.left(), box.top());
    for (const SvgPart& part : parts) {
        const QRectF bounds = renderer.boundsOnElement(part.id);
        if (bounds.isEmpty() && part.texts.empty()) continue;
        painter.save();
        if (part.clip) painter.setClipPath(toBox.map(*part.clip), Qt::IntersectClip);
        if (!bounds.isEmpty()) renderer.render(&painter, part.id, toBox.mapRect(bounds));
        for (const SvgText& text : part.texts) paintSvgText(painter, text, toBox);
        painter.restore();
    }
}

}  // namespace pbp::render
