#pragma once

// Collects one text object's paragraphs and spans as libvisio emits them; layOutText lays the
// text out inside its box (wrapping, alignment, padding, vertical alignment) once.

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
    // Paragraphs opened between these two carry the list's bullet.
    void openBulletList(const librevenge::RVNGPropertyList& props);
    void closeBulletList();
    void openSpan(const librevenge::RVNGPropertyList& props);
    void closeSpan();
    void append(const QString& text);

    // The block, not laid out yet; null when the object holds no visible text.
    std::shared_ptr<const TextBlock> finish();

  private:
    using Paragraph = TextParagraph;
    Paragraph& current();

    QRectF box_;
    qreal padLeft_, padRight_, padTop_, padBottom_;
    qreal rotationDeg_;
    QString verticalAlign_;
    std::vector<Paragraph> paragraphs_;
    QTextCharFormat span_;
    bool inParagraph_ = false;
    QString bullet_;
    qreal bulletSize_ = 1, labelWidth_ = 0;
};

// Lays the block's paragraphs out unless that was done already.
void layOutText(const TextBlock& block);

}  // namespace pbp::render
