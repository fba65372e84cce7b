#pragma once

// Collects one text object's paragraphs and spans as libvisio emits them, then lays the text
// out inside its box (wrapping, alignment, padding, vertical alignment) once.

#include <QTextCharFormat>
#include <QTextOption>

#include "printing/engine/render/display_list.h"

namespace librevenge {
class RVNGPropertyList;
}

namespace pbp::render {

// Text is laid out with pixel-sized fonts this many times larger than points, so that the
// layout does not depend on any device's resolution; painting scales it back.
inline constexpr qreal kTextScale = 16;

class TextBuilder {
  public:
    explicit TextBuilder(const librevenge::RVNGPropertyList& box);

    void openParagraph(const librevenge::RVNGPropertyList& props);
    void closeParagraph();
    void openSpan(const librevenge::RVNGPropertyList& props);
    void closeSpan();
    void append(const QString& text);

    // The laid-out block; null when the object holds no visible text.
    std::shared_ptr<const TextBlock> finish();

  private:
    struct Paragraph {
        QString text;
        QList<QTextLayout::FormatRange> formats;
        Qt::Alignment alignment = Qt::AlignLeft;
        qreal marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0, indent = 0;
        qreal lineHeight = 0;  // multiple of the font size; 0 for the font's own line height
        qreal tabDistance = 0;
        QTextCharFormat lastFormat;
    };
    Paragraph& current();

    QRectF box_;
    qreal padLeft_, padRight_, padTop_, padBottom_;
    qreal rotationDeg_;
    QString verticalAlign_;
    std::vector<Paragraph> paragraphs_;
    QTextCharFormat span_;
    bool inParagraph_ = false;
};

}  // namespace pbp::render
