#pragma once

// The recorded form of a drawing: plain structs built once while libvisio parses, so that
// painting a page is a walk over ready QPainterPaths, brushes and text (laid out on first paint).

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QTextOption>
#include <memory>
#include <variant>
#include <vector>

#include "printing/engine/render/picture_decoder.h"

namespace pbp::render {

// An arrowhead: its outline one unit across, with the tip (a centred marker's centre) at the
// origin and the body lying along +y (the way librevenge's viewBox markers are drawn), scaled
// to `widthPt` across.
struct Marker {
    QPainterPath outline;
    qreal widthPt = 0;
    bool centered = false;
    bool present() const { return !outline.isEmpty() && widthPt > 0; }
};

struct Stroke {
    bool visible = false;
    QColor color = Qt::black;
    qreal widthPt = 0;
    Qt::PenCapStyle cap = Qt::FlatCap;
    Qt::PenJoinStyle join = Qt::MiterJoin;
    QList<qreal> dashPt;  // on/off lengths in points; empty for a solid line
    Marker start, end;
    qreal startInsetPt = 0, endInsetPt = 0;  // how far the line stops short of each tip
};

struct Gradient {
    enum class Shape { Linear, Axial, Radial, Ellipsoid, Square, Rectangular };
    Shape shape = Shape::Linear;
    QColor from, to;
    qreal angleDeg = 0;  // librevenge's draw:angle, counter-clockwise from "top to bottom"
    qreal border = 0;    // 0..1, the part of the box filled with the start colour
    qreal cx = 0.5, cy = 0.5;
};

struct Hatch {
    int lines = 1;  // 1 single, 2 double (crossed), 3 triple
    QColor color = Qt::black;
    qreal distancePt = 0;
    qreal rotationDeg = 0;
};

struct Fill {
    enum class Kind { None, Solid, Gradient, Hatch, Bitmap };
    Kind kind = Kind::None;
    QColor color = Qt::white;  // solid colour, also the background behind a hatch
    bool hatchBackground = false;
    Gradient gradient;
    Hatch hatch;
    QImage bitmap;
    Qt::FillRule rule = Qt::OddEvenFill;
};

struct Shadow {
    bool visible = false;
    QPointF offsetPt;
    QColor color = Qt::gray;
};

struct Style {
    Fill fill;
    Stroke stroke;
    Shadow shadow;
};

struct PathItem {
    QPainterPath path;  // in points
    std::shared_ptr<const Style> style;
    QPainterPath stroke;   // the outline to stroke: the path shortened under its arrowheads
    QPainterPath markers;  // the arrowheads, placed, filled with the line colour
};

struct ImageItem {
    QRectF boxPt;
    qreal rotationDeg = 0;  // about the box centre, clockwise on the page
    Picture picture;
    bool mirrorX = false, mirrorY = false;  // flipped about the box centre before turning
};

// One paragraph of a text box as the drawing gives it.
struct TextParagraph {
    QString text;
    QList<QTextLayout::FormatRange> formats;
    Qt::Alignment alignment = Qt::AlignLeft;
    qreal marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0, indent = 0;
    qreal lineHeight = 0;  // multiple of the font size; 0 for the font's own line height
    qreal tabDistance = 0;
    QList<QTextOption::Tab> tabsPt;  // set tab stops, from the box's inner left edge
    QString bullet;                  // drawn at the first line's start, the text a label width on
    qreal bulletSize = 1;            // relative to the first span's font
    qreal labelWidth = 0;
    QTextCharFormat lastFormat;
};

// One text box. Its paragraphs are laid out on first paint, on the painting thread: a laid-out
// QTextLayout holds font engines of the thread that made it, and drawings may be recorded on
// another thread. A block is painted by one thread at a time.
struct TextBlock {
    QRectF boxPt;
    qreal padLeftPt = 0, padRightPt = 0, padTopPt = 0, padBottomPt = 0;
    QString verticalAlign;
    QPointF originPt;       // top-left corner of the box before rotation
    QPointF pivotPt;        // centre of rotation
    qreal rotationDeg = 0;  // clockwise on the page
    std::vector<TextParagraph> source;
    mutable bool laidOut = false;
    mutable std::vector<std::unique_ptr<QTextLayout>> paragraphs;
    mutable std::vector<QPointF> positions;  // where each paragraph's layout is drawn
};

struct TextItem {
    std::shared_ptr<const TextBlock> block;
};

using Item = std::variant<PathItem, ImageItem, TextItem>;

struct Page {
    QSizeF sizeInches;
    QString name;  // the page's name in the drawing, empty when it has none
    std::vector<Item> items;
};

struct DrawingContent {
    std::vector<Page> pages;
    QStringList log;  // what could not be drawn faithfully
};

}  // namespace pbp::render
