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

}  // namespace

PageTable readVdxPageTable(const QByteArray& xml) {
    PageTable table;
    QXmlStreamReader reader(xml);
    QStringList open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                open.append(reader.name().toString());
                if (endsWith(open, {u"VisioDocument", u"Pages", u"Page"})) {
                    table.push_back(startEntry(reader.attributes()));
                } else if (!table.empty() && open.size() == 6 &&
                           endsWith(open, {u"Page", u"PageSheet", u"PageProps", u"PageWidth"})) {
                    table.back().widthInches = number(reader.readElementText());
                    open.removeLast();
                } else if (!table.empty() && open.size() == 6 &&
                           endsWith(open, {u"Page", u"PageSheet", u"PageProps", u"PageHeight"})) {
                    table.back().heightInches = number(reader.readElementText());
                    open.removeLast();
                } else if (!table.empty() && open.size() == 6 &&
                           endsWith(open, {u"PageSheet", u"PrintProps", u"PrintPageOrientation"})) {
                    const QString value = reader.readElementText().trimmed();
                    if (!value.isEmpty()) table.back().printPageOrientation = value;
                    open.removeLast();
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
    if (reader.hasError()) return {};
    return table;
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
    if (reader.hasError()) return {};
    return table;
}

}  // namespace pbp::visio
