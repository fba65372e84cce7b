#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>

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

PageTableEntry startEntry(const QXmlStreamAttributes& attributes) {
    PageTableEntry entry;
    entry.id = attributes.value(QLatin1String("ID")).toUInt();
    entry.background = isTrue(attributes.value(QLatin1String("Background")));
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

}  // namespace

PageTable readVdxPageTable(const QByteArray& xml) {
    // Only the Pages element matters, and it follows the masters, which can be most of a large
    // file; reading from its start tag to its end tag skips them.
    qsizetype start = xml.indexOf("<Pages>");
    if (start < 0) start = xml.indexOf("<Pages ");
    if (start < 0) return {};
    PageTable table;
    QXmlStreamReader reader(QByteArray::fromRawData(xml.constData() + start, xml.size() - start));
    QStringList open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                open.append(reader.name().toString());
                if (open.size() == 3 && open.last() == u"Shapes") {
                    reader.skipCurrentElement();
                    open.removeLast();
                } else if (open.size() == 2 && open.last() == u"Page") {
                    table.push_back(startEntry(reader.attributes()));
                } else if (isPageSheetCell(open, u"PageProps", u"PageWidth")) {
                    table.back().widthInches = number(reader.readElementText());
                    open.removeLast();
                } else if (isPageSheetCell(open, u"PageProps", u"PageHeight")) {
                    table.back().heightInches = number(reader.readElementText());
                    open.removeLast();
                } else if (isPageSheetCell(open, u"PrintProps", u"PrintPageOrientation")) {
                    const QString value = reader.readElementText().trimmed();
                    if (!value.isEmpty()) table.back().printPageOrientation = value;
                    open.removeLast();
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                open.removeLast();
                if (open.isEmpty()) return table;  // the end of Pages
                break;
            default:
                break;
        }
    }
    throw PageTableDamaged();
}

PageTable readVsdxPageTable(const QByteArray& pagesXml) {
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
                    if (name == u"PrintPageOrientation" && !value.trimmed().isEmpty())
                        table.back().printPageOrientation = value.trimmed();
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
    return table;
}

}  // namespace pbp::visio
