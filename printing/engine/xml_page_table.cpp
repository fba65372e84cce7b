#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>

#include "printing/engine/page_table.h"

namespace pbp::visio {

namespace {

bool isTrue(QStringView value) {
    return value == u"1" || value == u"true";
}

std::optional<double> number(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// A PaperKind is a 16-bit code (the binary format stores it in two bytes); anything else, a
// negative, fractional or huge number included, is treated as stating no paper.
int paperKind(const QString& text) {
    const double value = number(text).value_or(0);
    return value >= 0 && value <= 0xFFFF ? int(value) : 0;
}

// A page sheet that states no paper takes it from its style: the document's style 0 ("No
// Style"), which every page sheet's styles derive from, holds the document's print settings.
void inheritPaperKind(PageTable& table, int documentPaperKind) {
    for (PageTableEntry& entry : table)
        if (entry.paperKind == 0) entry.paperKind = documentPaperKind;
}

PageTableEntry startEntry(const QXmlStreamAttributes& attributes) {
    PageTableEntry entry;
    entry.id = attributes.value(QLatin1String("ID")).toUInt();
    entry.background = isTrue(attributes.value(QLatin1String("Background")));
    entry.name = attributes.value(QLatin1String("Name")).toString();
    if (entry.name.isEmpty()) entry.name = attributes.value(QLatin1String("NameU")).toString();
    return entry;
}

// True when the open elements end with `tail` (innermost last).
bool endsWith(const QStringList& open, std::initializer_list<QStringView> tail) {
    if (open.size() < qsizetype(tail.size())) return false;
    qsizetype at = open.size() - qsizetype(tail.size());
    for (QStringView name : tail)
        if (open.at(at++) != name) return false;
    return true;
}

// True when the innermost open element is the cell `cell` of section `section` in the page
// sheet of a Page (Pages/Page/PageSheet/section/cell).
bool isPageSheetCell(const QStringList& open, QStringView section, QStringView cell) {
    return open.size() == 5 && endsWith(open, {u"Page", u"PageSheet", section, cell});
}

// True when `at` starts the tag `<name` (not a longer name such as `<ShapesX`).
bool isTagAt(const QByteArray& xml, qsizetype at, QByteArrayView name) {
    if (!QByteArrayView(xml).sliced(at).startsWith(name)) return false;
    const qsizetype next = at + name.size();
    return next < xml.size() &&
           (xml[next] == '>' || xml[next] == '/' || QChar::isSpace(uchar(xml[next])));
}

// The Pages element from `start` with every Shapes element cut out. The shapes are most of a
// large drawing and hold nothing of the page table, and finding their ends by text is far
// quicker than parsing them. Throws when the Pages element or a Shapes element never ends.
QByteArray pagesWithoutShapes(const QByteArray& xml, qsizetype start) {
    const qsizetype end = xml.indexOf("</Pages>", start);
    if (end < 0) throw PageTableDamaged();
    QByteArray kept;
    qsizetype from = start;
    for (qsizetype at = xml.indexOf("<Shapes", from); at >= 0 && at < end;
         at = xml.indexOf("<Shapes", from)) {
        if (!isTagAt(xml, at, "<Shapes")) {
            kept.append(xml.constData() + from, at + 1 - from);
            from = at + 1;
            continue;
        }
        kept.append(xml.constData() + from, at - from);
        const qsizetype tagEnd = xml.indexOf('>', at);
        if (tagEnd < 0) throw PageTableDamaged();
        from = tagEnd + 1;
        if (xml[tagEnd - 1] == '/') continue;  // <Shapes/>
        // Group shapes hold Shapes elements of their own. The next start tag and the next end
        // tag are each searched again only once the scan has passed them, so the cut is linear
        // in the file's length however deeply the groups nest.
        qsizetype open = xml.indexOf("<Shapes", from);
        qsizetype close = xml.indexOf("</Shapes>", from);
        for (int depth = 1; depth > 0;) {
            if (close < 0) throw PageTableDamaged();
            if (open >= 0 && open < close) {
                if (isTagAt(xml, open, "<Shapes")) {
                    const qsizetype openEnd = xml.indexOf('>', open);
                    if (openEnd < 0) throw PageTableDamaged();
                    if (xml[openEnd - 1] != '/') ++depth;
                    from = openEnd + 1;
                } else {
                    from = open + 1;
                }
                open = xml.indexOf("<Shapes", from);
                if (close < from) close = xml.indexOf("</Shapes>", from);
            } else {
                --depth;
                from = close + qsizetype(sizeof("</Shapes>") - 1);
                close = xml.indexOf("</Shapes>", from);
                if (open >= 0 && open < from) open = xml.indexOf("<Shapes", from);
            }
        }
    }
    if (from > end) throw PageTableDamaged();
    kept.append(xml.constData() + from, end + qsizetype(sizeof("</Pages>") - 1) - from);
    return kept;
}

// PrintProps/PaperKind of StyleSheet 0 in the StyleSheets element of a .vdx document.
int vdxDocumentPaperKind(const QByteArray& xml) {
    const qsizetype start = xml.indexOf("<StyleSheets");
    const qsizetype end = xml.indexOf("</StyleSheets>", start);
    if (start < 0 || end < 0) return 0;
    QXmlStreamReader reader(xml.mid(start, end - start + 14));
    QStringList open;
    bool styleZero = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            open.append(reader.name().toString());
            if (open.size() == 2)
                styleZero = reader.attributes().value(QLatin1String("ID")) == u"0";
            if (styleZero && open.size() == 4 &&
                endsWith(open, {u"StyleSheet", u"PrintProps", u"PaperKind"}))
                return paperKind(reader.readElementText());
        } else if (token == QXmlStreamReader::EndElement && !open.isEmpty()) {
            open.removeLast();
        }
    }
    return 0;
}

// The PaperKind cell of StyleSheet 0 in a .vsdx package part visio/document.xml.
int vsdxDocumentPaperKind(const QByteArray& documentXml) {
    QXmlStreamReader reader(documentXml);
    QStringList open;
    bool styleZero = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            open.append(reader.name().toString());
            if (open.size() == 3 && endsWith(open, {u"StyleSheets", u"StyleSheet"}))
                styleZero = reader.attributes().value(QLatin1String("ID")) == u"0";
            if (styleZero && open.size() == 4 && open.last() == u"Cell" &&
                reader.attributes().value(QLatin1String("N")) == u"PaperKind")
                return paperKind(reader.attributes().value(QLatin1String("V")).toString());
        } else if (token == QXmlStreamReader::EndElement && !open.isEmpty()) {
            open.removeLast();
            if (open.size() == 2 && styleZero) return 0;  // style 0 states no paper
        }
    }
    return 0;
}

}  // namespace

PageTable readVdxPageTable(const QByteArray& xml) {
    // Only the Pages element matters, and it follows the masters, which can be most of a large
    // file; reading from its start tag to its end tag skips them.
    qsizetype start = xml.indexOf("<Pages>");
    if (start < 0) start = xml.indexOf("<Pages ");
    if (start < 0) return {};
    PageTable table;
    QXmlStreamReader reader(pagesWithoutShapes(xml, start));
    QStringList open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                open.append(reader.name().toString());
                if (open.size() == 2 && open.last() == u"Page") {
                    table.push_back(startEntry(reader.attributes()));
                } else if (isPageSheetCell(open, u"PageProps", u"PageWidth")) {
                    table.back().widthInches = number(reader.readElementText());
                    open.removeLast();
                } else if (isPageSheetCell(open, u"PageProps", u"PageHeight")) {
                    table.back().heightInches = number(reader.readElementText());
                    open.removeLast();
                } else if (isPageSheetCell(open, u"PrintProps", u"PrintPageOrientation")) {
                    table.back().orientation = parsePrintOrientation(reader.readElementText());
                    open.removeLast();
                } else if (isPageSheetCell(open, u"PrintProps", u"PaperKind")) {
                    table.back().paperKind = paperKind(reader.readElementText());
                    open.removeLast();
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                open.removeLast();
                if (open.isEmpty()) {  // the end of Pages
                    inheritPaperKind(table, vdxDocumentPaperKind(xml.left(start)));
                    return table;
                }
                break;
            default:
                break;
        }
    }
    throw PageTableDamaged();
}

PageTable readVsdxPageTable(const QByteArray& pagesXml, const QByteArray& documentXml) {
    PageTable table;
    QXmlStreamReader reader(pagesXml);
    QStringList open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                open.append(reader.name().toString());
                if (open.size() == 2 && endsWith(open, {u"Pages", u"Page"})) {
                    table.push_back(startEntry(reader.attributes()));
                } else if (!table.empty() && open.size() == 4 &&
                           endsWith(open, {u"Page", u"PageSheet", u"Cell"})) {
                    const auto attributes = reader.attributes();
                    const QStringView name = attributes.value(QLatin1String("N"));
                    const QString value = attributes.value(QLatin1String("V")).toString();
                    if (name == u"PageWidth") table.back().widthInches = number(value);
                    if (name == u"PageHeight") table.back().heightInches = number(value);
                    if (name == u"PrintPageOrientation")
                        table.back().orientation = parsePrintOrientation(value);
                    if (name == u"PaperKind") table.back().paperKind = paperKind(value);
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                if (!open.isEmpty()) open.removeLast();
                break;
            default:
                break;
        }
    }
    if (reader.hasError()) throw PageTableDamaged();
    inheritPaperKind(table, vsdxDocumentPaperKind(documentXml));
    return table;
}

}  // namespace pbp::visio
