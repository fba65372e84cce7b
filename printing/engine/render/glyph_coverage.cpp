#include "printing/engine/render/glyph_coverage.h"

#include <QGlyphRun>
#include <QStringView>
#include <QTextLayout>
#include <algorithm>

namespace pbp::render {

namespace {

// Up to Latin Extended-B; the rest is looked up.
constexpr char32_t kLastLatin = 0x024f;
// Far more distinct characters and fonts than a real drawing holds; a crafted one could ask
// for hundreds of thousands of look-ups, so beyond this many the rest is taken as printable.
constexpr qsizetype kMaxLookUps = 20000;

bool needsLookUp(char32_t c) {
    if (c <= kLastLatin) return false;
    switch (QChar::category(c)) {
        case QChar::Separator_Space:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Mark_NonSpacing:
        case QChar::Mark_Enclosing:
            return false;
        default:
            return true;
    }
}

}  // namespace

qsizetype GlyphCoverage::unprintable(const TextParagraph& paragraph) {
    qsizetype count = 0;
    for (const QTextLayout::FormatRange& range : paragraph.formats) {
        const QStringView run =
            QStringView(paragraph.text).mid(range.start, std::max(0, range.length));
        for (const char32_t c : run.toUcs4())
            if (needsLookUp(c) && !printable(range.format.font(), c)) ++count;
    }
    return count;
}

bool GlyphCoverage::printable(const QFont& font, char32_t character) {
    const QString key = font.family() + u'\n' + QString::number(character);
    if (const auto known = known_.constFind(key); known != known_.cend()) return *known;
    if (known_.size() >= kMaxLookUps) return true;
    // Laid out alone, the character takes a glyph from the font or a fallback; glyph 0 is the
    // empty box every font prints for a character it lacks.
    QTextLayout layout(QString::fromUcs4(&character, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    bool found = false;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (const quint32 glyph : run.glyphIndexes()) found = found || glyph != 0;
    known_.insert(key, found);
    return found;
}

}  // namespace pbp::render
