#include "printing/engine/render/text_builder.h"

#include <librevenge/librevenge.h>

#include <cmath>
#include <limits>

#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <QTextLine>

#include "printing/engine/render/font_substitution.h"
#include "printing/engine/render/units.h"

namespace pbp::render {

namespace {

constexpr qreal kDefaultFontSizePt = 12;
// Without shaping, Latin text is set letter by letter: no ligature glyphs, whose letters a PDF's
// text layer would lose ("hovercraft" read back as "hovercra").
constexpr QFont::StyleStrategy kTextStrategy = QFont::PreferNoShaping;

// How far a subscript or superscript run's baseline is raised (negative: lowered), in layout
// pixels; layOutText turns it into Qt's baseline offset, which is relative to the run's font.
constexpr int kRaiseProperty = QTextFormat::UserProperty + 1;

struct TextPosition {
    qreal raise = 0;  // fraction of the font size; negative lowers
    qreal scale = 1;  // font size of the run
};

// librevenge's style:text-position, as in ODF: "super", "sub" or a percentage of the font size
// to raise by (negative lowers), then optionally the run's font size in percent. A keyword
// means 33%, a missing size 58%, as LibreOffice reads them.
TextPosition readTextPosition(const QString& value) {
    const QStringList parts = value.simplified().split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty()) return {};
    const auto percent = [](const QString& part) -> std::optional<qreal> {
        if (!part.endsWith(u'%')) return std::nullopt;
        bool ok = false;
        const qreal v = part.chopped(1).toDouble(&ok);
        return ok && std::isfinite(v) ? std::optional<qreal>(v / 100) : std::nullopt;
    };
    TextPosition p;
    if (parts[0] == QLatin1String("super"))
        p.raise = 0.33;
    else if (parts[0] == QLatin1String("sub"))
        p.raise = -0.33;
    else if (const auto raise = percent(parts[0]))
        p.raise = std::clamp(*raise, -1.0, 1.0);
    else
        return {};
    if (p.raise == 0 && parts.size() == 1) return {};
    const auto scale = parts.size() > 1 ? percent(parts[1]) : std::nullopt;
    p.scale = std::clamp(scale.value_or(0.58), 0.01, 1.0);
    return p;
}

QTextCharFormat defaultFormat() {
    QTextCharFormat f;
    QFont font(printFontFamily(QString()));
    font.setPixelSize(qRound(kDefaultFontSizePt * kTextScale));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(kTextStrategy);
    f.setFont(font);
    f.setForeground(Qt::black);
    return f;
}

QTextCharFormat readSpan(const librevenge::RVNGPropertyList& props) {
    QTextCharFormat f;
    QFont font(printFontFamily(text(props, "style:font-name")));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(kTextStrategy);
    const qreal sizePx =
        std::clamp(lengthPt(props, "fo:font-size", kDefaultFontSizePt), 0.1, 2000.0) * kTextScale;
    const TextPosition position = readTextPosition(text(props, "style:text-position"));
    font.setPixelSize(std::max(1, int(std::lround(sizePx * position.scale))));
    font.setBold(text(props, "fo:font-weight") == QLatin1String("bold"));
    font.setItalic(text(props, "fo:font-style") == QLatin1String("italic"));
    const QString underline = text(props, "style:text-underline-type");
    font.setUnderline(!underline.isEmpty() && underline != QLatin1String("none"));
    const QString strike = text(props, "style:text-line-through-type");
    font.setStrikeOut(!strike.isEmpty() && strike != QLatin1String("none"));
    if (text(props, "fo:font-variant") == QLatin1String("small-caps"))
        font.setCapitalization(QFont::SmallCaps);
    f.setFont(font);
    QColor color = colour(props, "fo:color").value_or(Qt::black);
    if (const auto opacity = fraction(props, "svg:fill-opacity"))
        color.setAlphaF(float(std::clamp(*opacity, 0.0, 1.0)));
    f.setForeground(color);
    if (const auto background = colour(props, "fo:background-color")) f.setBackground(*background);
    if (position.raise != 0) f.setProperty(kRaiseProperty, position.raise * sizePx);
    return f;
}

QList<QTextOption::Tab> readTabStops(const librevenge::RVNGPropertyList& props) {
    QList<QTextOption::Tab> tabs;
    const librevenge::RVNGPropertyListVector* stops = props.child("style:tab-stops");
    if (!stops) return tabs;
    for (unsigned long i = 0; i < stops->count(); ++i) {
        const librevenge::RVNGPropertyList& stop = (*stops)[i];
        const QString type = text(stop, "style:type");
        QTextOption::Tab tab;
        tab.position = lengthPt(stop, "style:position");
        if (type == QLatin1String("right") || type == QLatin1String("end")) {
            tab.type = QTextOption::RightTab;
        } else if (type == QLatin1String("center")) {
            tab.type = QTextOption::CenterTab;
        } else if (type == QLatin1String("char")) {
            tab.type = QTextOption::DelimiterTab;
            const QString delimiter = text(stop, "style:char");
            tab.delimiter = delimiter.isEmpty() ? QChar(u'.') : delimiter.front();
        }
        tabs << tab;
    }
    std::sort(tabs.begin(), tabs.end(), [](const QTextOption::Tab& a, const QTextOption::Tab& b) {
        return a.position < b.position;
    });
    return tabs;
}

Qt::Alignment readAlignment(const QString& align) {
    if (align == QLatin1String("center")) return Qt::AlignHCenter;
    if (align == QLatin1String("right") || align == QLatin1String("end")) return Qt::AlignRight;
    if (align == QLatin1String("justify") || align == QLatin1String("full"))
        return Qt::AlignJustify;
    return Qt::AlignLeft;
}

// Qt measures a word that does not fit its line again for every line it is broken into, so a
// word of a million characters takes minutes; text with a word longer than this is broken
// anywhere instead, which takes time in proportion to its length.
constexpr qsizetype kLongestWordWrappedWhole = 1000;

// The longest stretch of `text` without a line-break opportunity.
qsizetype longestUnbreakable(const QString& text) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    qsizetype longest = 0, previous = 0;
    for (qsizetype at = breaks.toNextBoundary(); at >= 0; at = breaks.toNextBoundary()) {
        longest = std::max(longest, at - previous);
        previous = at;
    }
    return longest;
}

QTextOption::WrapMode wrapModeFor(const QString& text, qreal innerWidth) {
    if (innerWidth <= 0) return QTextOption::NoWrap;
    return longestUnbreakable(text) > kLongestWordWrappedWhole
               ? QTextOption::WrapAnywhere
               : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

}  // namespace

TextBuilder::TextBuilder(const librevenge::RVNGPropertyList& box)
    : box_(lengthPt(box, "svg:x"), lengthPt(box, "svg:y"), lengthPt(box, "svg:width"),
           lengthPt(box, "svg:height")),
      padLeft_(lengthPt(box, "fo:padding-left")),
      padRight_(lengthPt(box, "fo:padding-right")),
      padTop_(lengthPt(box, "fo:padding-top")),
      padBottom_(lengthPt(box, "fo:padding-bottom")),
      rotationDeg_(number(box, "librevenge:rotate").value_or(0)),
      verticalAlign_(text(box, "draw:textarea-vertical-align")),
      span_(defaultFormat()) {}

TextBuilder::Paragraph& TextBuilder::current() {
    if (!inParagraph_) {
        paragraphs_.emplace_back();
        paragraphs_.back().lastFormat = span_;
        inParagraph_ = true;
    }
    return paragraphs_.back();
}

void TextBuilder::openParagraph(const librevenge::RVNGPropertyList& props) {
    inParagraph_ = false;
    Paragraph& p = current();
    p.alignment = readAlignment(text(props, "fo:text-align"));
    p.marginLeft = lengthPt(props, "fo:margin-left");
    p.marginRight = lengthPt(props, "fo:margin-right");
    p.marginTop = lengthPt(props, "fo:margin-top");
    p.marginBottom = lengthPt(props, "fo:margin-bottom");
    p.indent = lengthPt(props, "fo:text-indent");
    if (const librevenge::RVNGProperty* lh = props["fo:line-height"]) {
        if (lh->getUnit() == librevenge::RVNG_PERCENT)
            p.lineHeight = lh->getDouble();
        else
            p.lineHeight = -lengthPt(lh).value_or(0);  // negative: an exact height in points
    }
    p.tabDistance = lengthPt(props, "style:tab-stop-distance", 0.5 * kPointsPerInch);
    p.tabsPt = readTabStops(props);
    p.bullet = bullet_;
    p.bulletSize = bulletSize_;
    p.labelWidth = labelWidth_;
}

void TextBuilder::openBulletList(const librevenge::RVNGPropertyList& props) {
    bullet_ = text(props, "text:bullet-char");
    bulletSize_ = std::clamp(fraction(props, "fo:font-size").value_or(1), 0.1, 10.0);
    labelWidth_ = std::max(0.0, lengthPt(props, "text:min-label-width"));
}

void TextBuilder::closeBulletList() {
    bullet_.clear();
}

void TextBuilder::closeParagraph() {
    inParagraph_ = false;
}

void TextBuilder::openSpan(const librevenge::RVNGPropertyList& props) {
    span_ = readSpan(props);
    if (inParagraph_) paragraphs_.back().lastFormat = span_;
}

void TextBuilder::closeSpan() {}

void TextBuilder::append(const QString& text) {
    Paragraph& p = current();
    QTextLayout::FormatRange range;
    range.start = int(p.text.size());
    range.length = int(text.size());
    range.format = span_;
    if (!p.formats.isEmpty() && p.formats.last().format == span_ &&
        p.formats.last().start + p.formats.last().length == range.start)
        p.formats.last().length += range.length;
    else
        p.formats.append(range);
    p.text += text;
    p.lastFormat = span_;
}

std::shared_ptr<const TextBlock> TextBuilder::finish() {
    bool anyText = false;
    for (const Paragraph& p : paragraphs_) anyText = anyText || !p.text.trimmed().isEmpty();
    if (!anyText) return nullptr;

    auto block = std::make_shared<TextBlock>();
    block->boxPt = box_;
    block->padLeftPt = padLeft_;
    block->padRightPt = padRight_;
    block->padTopPt = padTop_;
    block->padBottomPt = padBottom_;
    block->verticalAlign = verticalAlign_;
    block->originPt = box_.topLeft();
    block->pivotPt = box_.center();
    block->rotationDeg = rotationDeg_;
    block->source = std::move(paragraphs_);
    return block;
}

void layOutText(const TextBlock& block) {
    if (block.laidOut) return;
    block.laidOut = true;
    const qreal innerWidth =
        (block.boxPt.width() - block.padLeftPt - block.padRightPt) * kTextScale;
    qreal y = 0;
    for (const TextParagraph& p : block.source) {
        QString content = p.text;
        QList<QTextLayout::FormatRange> formats = p.formats;
        QList<QTextOption::Tab> tabs;
        for (const QTextOption::Tab& t : p.tabsPt)
            tabs << QTextOption::Tab(t.position * kTextScale, t.type, t.delimiter);
        if (!p.bullet.isEmpty()) {
            // "bullet<tab>text", the tab reaching a label width past the first line's start.
            const QString label = p.bullet + u'\t';
            QTextLayout::FormatRange range{
                0, int(label.size()), formats.isEmpty() ? p.lastFormat : formats.first().format};
            QFont font = range.format.font();
            font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * p.bulletSize))));
            range.format.setFont(font);
            for (QTextLayout::FormatRange& r : formats) r.start += int(label.size());
            formats.prepend(range);
            content.prepend(label);
            tabs << QTextOption::Tab((p.marginLeft + p.indent + p.labelWidth) * kTextScale,
                                     QTextOption::LeftTab);
            std::sort(tabs.begin(), tabs.end(),
                      [](const QTextOption::Tab& a, const QTextOption::Tab& b) {
                          return a.position < b.position;
                      });
        }
        for (QTextLayout::FormatRange& r : formats) {
            if (!r.format.hasProperty(kRaiseProperty)) continue;
            const QFontMetricsF metrics(r.format.font());
            r.format.setVerticalAlignment(QTextCharFormat::AlignBaseline);
            r.format.setBaselineOffset(100 * r.format.doubleProperty(kRaiseProperty) /
                                       std::max(1.0, metrics.ascent() + metrics.descent()));
        }
        auto layout = std::make_unique<QTextLayout>(content, p.lastFormat.font());
        QTextOption option(p.alignment);
        option.setWrapMode(wrapModeFor(p.text, innerWidth));
        option.setTabStopDistance(std::max(1.0, p.tabDistance * kTextScale));
        option.setTabs(tabs);
        layout->setTextOption(option);
        layout->setFormats(formats);
        layout->setCacheEnabled(true);
        y += p.marginTop * kTextScale;
        const qreal left = p.marginLeft * kTextScale;
        const qreal width = innerWidth - left - p.marginRight * kTextScale;
        qreal lineY = 0;
        layout->beginLayout();
        for (bool first = true;; first = false) {
            QTextLine line = layout->createLine();
            if (!line.isValid()) break;
            const qreal indent = first ? p.indent * kTextScale : 0;
            // A line is measured only once laid out; without a box width it is laid out
            // unbounded, as Qt would do at the layout's end, so its height is known here.
            if (innerWidth > 0)
                line.setLineWidth(std::max(1.0, width - indent));
            else
                line.setNumColumns(std::numeric_limits<int>::max());
            qreal pitch = line.height();
            qreal ascent = line.ascent();
            if (p.lineHeight > 0) {
                // Visio's spacing is a multiple of the largest font on the line.
                qreal size = 0;
                for (const QTextLayout::FormatRange& r : formats)
                    if (r.start < line.textStart() + line.textLength() &&
                        r.start + r.length > line.textStart())
                        size = std::max<qreal>(size, r.format.font().pixelSize());
                if (size == 0) size = p.lastFormat.font().pixelSize();
                pitch = size * p.lineHeight;
                ascent += (pitch - line.height()) / 2;
            } else if (p.lineHeight < 0) {
                pitch = -p.lineHeight * kTextScale;
                ascent += (pitch - line.height()) / 2;
            }
            line.setPosition(QPointF(left + indent, lineY + ascent - line.ascent()));
            lineY += pitch;
        }
        layout->endLayout();
        if (innerWidth <= 0) {
            // No box width: the text is centred on the box's left edge as a single column.
            for (int i = 0; i < layout->lineCount(); ++i) {
                QTextLine line = layout->lineAt(i);
                line.setPosition(line.position() - QPointF(line.naturalTextWidth() / 2, 0));
            }
        }
        block.positions.emplace_back(0, y);
        y += lineY + p.marginBottom * kTextScale;
        block.paragraphs.push_back(std::move(layout));
    }

    const qreal innerHeight =
        (block.boxPt.height() - block.padTopPt - block.padBottomPt) * kTextScale;
    qreal top = block.padTopPt * kTextScale;
    if (block.verticalAlign == QLatin1String("middle"))
        top += (innerHeight - y) / 2;
    else if (block.verticalAlign == QLatin1String("bottom"))
        top += innerHeight - y;
    for (QPointF& pos : block.positions) pos += QPointF(block.padLeftPt * kTextScale, top);
}

}  // namespace pbp::render
