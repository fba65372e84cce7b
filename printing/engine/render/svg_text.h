#pragma once

// Text of a converter's SVG, painted as text.
//
// QtSvg 6.4 lays an SVG text element out with QTextLayout and always gives it a text outline
// pen, so every glyph is drawn as its outline: a PDF then stores the text as paths, several
// times larger and slower to write than the picture's other ink, and neither searchable nor
// selectable. A text element read here is painted with the same layout, without the outline.

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>
#include <QTransform>
#include <optional>

class QPainter;
class QXmlStreamAttributes;

namespace pbp::render {

struct SvgText {
    QTransform transform;  // from the element's units to the SVG's
    QPointF at;            // the anchor on the baseline: where the text starts, centres or ends
    QString text;
    QFont font;      // family, weight, style; the size is `size`
    qreal size = 0;  // in the element's units
    Qt::Alignment anchor = Qt::AlignLeft;
    QColor fill;  // invalid when the text is not filled
};

// An SVG transform attribute ("translate(1, 2) rotate(30, 5, 5)"); empty when it holds
// anything else.
std::optional<QTransform> svgTransform(const QString& text);

// The text element with `attributes` and character data `content`, inside elements whose
// transforms make `outer`; empty when it uses what this does not paint as QtSvg would (tspans
// are read by the caller and refused there).
std::optional<SvgText> readSvgText(const QXmlStreamAttributes& attributes, const QString& content,
                                   const QTransform& outer);

// Paints the text where QtSvg puts it; `svgToPainter` maps the SVG's units to the painter's.
void paintSvgText(QPainter& painter, const SvgText& text, const QTransform& svgToPainter);

}  // namespace pbp::render
