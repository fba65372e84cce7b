#include "printing/engine/render/inherited_geometry.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace pbp::render {

namespace {

// More added XML than any real drawing needs (in UTF-16 units): beyond it the drawing is read
// as it is.
constexpr qsizetype kMaxAddedText = 64 * 1024 * 1024;

const QString kStyleAttributes[] = {QStringLiteral("LineStyle"), QStringLiteral("FillStyle"),
                                    QStringLiteral("TextStyle")};

struct Cell {
    QString name;
    QXmlStreamAttributes attributes;  // without N
    QString text;                     // a .vdx cell's value
};

struct Row {
    QString type;
    bool deleted = false;
    std::vector<Cell> cells;
};

struct Section {
    bool deleted = false;
    std::vector<Cell> cells;
    std::map<long long, Row> rows;
};

using Geometry = std::map<long long, Section>;

struct MasterShape {
    Geometry geometry;
    std::map<QString, QString> styles;
};

struct Master {
    QString firstShape;
    std::unordered_map<QString, MasterShape> shapes;
};

bool isTrue(QStringView value) {
    return value == u"1" || value == u"true";
}

std::optional<long long> indexOf(const QXmlStreamAttributes& attributes) {
    bool ok = false;
    const long long ix = attributes.value(QLatin1String("IX")).toLongLong(&ok);
    return ok && ix >= 0 ? std::optional<long long>(ix) : std::nullopt;
}

void mergeCells(std::vector<Cell>& into, const std::vector<Cell>& own) {
    for (const Cell& cell : own) {
        auto at = std::find_if(into.begin(), into.end(),
                               [&](const Cell& c) { return c.name == cell.name; });
        if (at == into.end())
            into.push_back(cell);
        else
            *at = cell;
    }
}

// The shape's own sections laid over its master's, as Visio inherits them: by section and row
// index, cell by cell; a deleted section or row takes the inherited one away.
Geometry merged(Geometry base, const Geometry& own) {
    for (const auto& [ix, section] : own) {
        if (section.deleted) {
            base.erase(ix);
            continue;
        }
        Section& into = base[ix];
        mergeCells(into.cells, section.cells);
        for (const auto& [rowIx, row] : section.rows) {
            if (row.deleted) {
                into.rows.erase(rowIx);
                continue;
            }
            Row& target = into.rows[rowIx];
            if (!row.type.isEmpty()) target.type = row.type;
            mergeCells(target.cells, row.cells);
        }
    }
    return base;
}

// Where libvisio and Visio look for a shape's master: the master's ID and the master shape's ID
// (empty for the master's first shape). No master when the ID is empty.
struct MasterRef {
    QString master;
    QString shape;
    bool operator==(const MasterRef&) const = default;
};

struct ShapeFrame {
    int depth = 0;
    bool topLevel = false;
    QXmlStreamAttributes attributes;
    QString qualifiedName;
    qsizetype tagEnd = 0;  // just past the start tag
    bool hasGeometry = false;
    Geometry geometry;
    std::vector<std::pair<qsizetype, qsizetype>> geometryRanges;
    bool readable = true;
    bool wanted = false;  // a master's shape or one libvisio looks up wrongly: its Geometry counts
    QString contextMaster;  // the master a MasterShape of this shape or its children refers to
    MasterRef visio;        // where Visio looks
    MasterRef libvisio;     // where libvisio 0.1.7 looks
};

struct Edit {
    qsizetype at;
    qsizetype remove;
    QString insert;
};

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

void writeAttributes(QString& out, const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& a : attributes)
        out += u' ' + a.qualifiedName().toString() + QStringLiteral("=\"") +
               escaped(a.value().toString()) + u'"';
}

}  // namespace

class MasterIndex {
  public:
    std::unordered_map<QString, Master> masters;

    const MasterShape* find(const MasterRef& ref) const {
        if (ref.master.isEmpty()) return nullptr;
        const auto master = masters.find(ref.master);
        if (master == masters.end()) return nullptr;
        const QString& id = ref.shape.isEmpty() ? master->second.firstShape : ref.shape;
        const auto shape = master->second.shapes.find(id);
        return shape == master->second.shapes.end() ? nullptr : &shape->second;
    }
};

namespace {

// Reads the Geometry section the reader stands on (its start element) up to its end.
std::optional<Section> readSection(QXmlStreamReader& reader, DrawingXml dialect) {
    Section section;
    section.deleted = isTrue(reader.attributes().value(QLatin1String("Del")));
    const auto readCell = [&](QString name) {
        Cell cell;
        cell.name = std::move(name);
        for (const QXmlStreamAttribute& a : reader.attributes())
            if (dialect == DrawingXml::Vdx || a.name() != u"N") cell.attributes.append(a);
        cell.text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        return cell;
    };
    while (reader.readNextStartElement()) {
        const QXmlStreamAttributes attributes = reader.attributes();
        const bool isRow = dialect == DrawingXml::Vsdx
                               ? reader.name() == u"Row"
                               : attributes.hasAttribute(QLatin1String("IX"));
        if (!isRow) {
            if (dialect == DrawingXml::Vsdx && reader.name() != u"Cell") {
                reader.skipCurrentElement();
                continue;
            }
            section.cells.push_back(readCell(dialect == DrawingXml::Vsdx
                                                 ? attributes.value(QLatin1String("N")).toString()
                                                 : reader.name().toString()));
            continue;
        }
        const std::optional<long long> ix = indexOf(attributes);
        if (!ix) return std::nullopt;
        Row row;
        row.type = dialect == DrawingXml::Vsdx ? attributes.value(QLatin1String("T")).toString()
                                               : reader.name().toString();
        row.deleted = isTrue(attributes.value(QLatin1String("Del")));
        while (reader.readNextStartElement()) {
            if (dialect == DrawingXml::Vsdx && reader.name() != u"Cell") {
                reader.skipCurrentElement();
                continue;
            }
            row.cells.push_back(
                readCell(dialect == DrawingXml::Vsdx
                             ? reader.attributes().value(QLatin1String("N")).toString()
                             : reader.name().toString()));
        }
        section.rows[*ix] = std::move(row);
    }
    return section;
}

bool isGeometrySection(const QXmlStreamReader& reader, DrawingXml dialect) {
    return dialect == DrawingXml::Vsdx
               ? reader.name() == u"Section" &&
                     reader.attributes().value(QLatin1String("N")) == u"Geometry"
               : reader.name() == u"Geom";
}

// Walks every Shape of the XML. For each it knows its own Geometry sections and where Visio
// and libvisio look for its master; `done` is called at the shape's end with the shape and
// the master it belongs to (empty on a page).
template <typename Done>
bool walkShapes(const QString& xml, DrawingXml dialect, const QString& partMaster, Done done) {
    QXmlStreamReader reader(xml);
    std::vector<ShapeFrame> stack;
    QString master = partMaster;
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!stack.empty() && stack.back().wanted && depth == stack.back().depth + 1 &&
                isGeometrySection(reader, dialect)) {
                ShapeFrame& shape = stack.back();
                const qsizetype start = xml.lastIndexOf(u'<', reader.characterOffset() - 1);
                const std::optional<long long> ix = indexOf(reader.attributes());
                std::optional<Section> section = readSection(reader, dialect);
                if (!ix || !section)
                    shape.readable = false;
                else
                    shape.geometry[*ix] = std::move(*section);
                shape.hasGeometry = true;
                shape.geometryRanges.emplace_back(start, reader.characterOffset());
                continue;
            }
            if (dialect == DrawingXml::Vdx && depth == 2 && reader.name() == u"Master")
                master = reader.attributes().value(QLatin1String("ID")).toString();
            if (reader.name() == u"Shape") {
                const ShapeFrame* parent = stack.empty() ? nullptr : &stack.back();
                ShapeFrame shape;
                shape.depth = depth;
                shape.topLevel = parent == nullptr;
                shape.attributes = reader.attributes();
                shape.qualifiedName = reader.qualifiedName().toString();
                shape.tagEnd = reader.characterOffset();
                const QString ownMaster =
                    shape.attributes.value(QLatin1String("Master")).toString();
                const QString masterShape =
                    shape.attributes.value(QLatin1String("MasterShape")).toString();
                const bool hasMaster = shape.attributes.hasAttribute(QLatin1String("Master"));
                const bool hasMasterShape =
                    shape.attributes.hasAttribute(QLatin1String("MasterShape"));
                shape.contextMaster =
                    hasMaster ? ownMaster : (parent ? parent->contextMaster : QString());
                if (hasMaster || hasMasterShape) {
                    shape.visio = {shape.contextMaster, masterShape};
                    // libvisio takes the enclosing group's master for any shape in a group.
                    shape.libvisio = {parent ? parent->libvisio.master : ownMaster, masterShape};
                }
                shape.wanted = !master.isEmpty() || !(shape.visio == shape.libvisio);
                stack.push_back(std::move(shape));
            }
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (!stack.empty() && depth == stack.back().depth && reader.name() == u"Shape") {
                ShapeFrame shape = std::move(stack.back());
                stack.pop_back();
                const bool empty = reader.characterOffset() == shape.tagEnd;
                done(shape, master, empty);
            } else if (dialect == DrawingXml::Vdx && depth == 2 && reader.name() == u"Master") {
                master.clear();
            }
        }
    }
    return !reader.hasError();
}

void addToIndex(MasterIndex& index, const ShapeFrame& shape, const QString& master) {
    if (master.isEmpty() || !shape.readable) return;
    Master& entry = index.masters[master];
    const QString id = shape.attributes.value(QLatin1String("ID")).toString();
    // A master's first top-level shape is the one its instances refer to.
    if (shape.topLevel && entry.firstShape.isEmpty()) entry.firstShape = id;
    MasterShape& into = entry.shapes[id];
    into.geometry = shape.geometry;
    for (const QString& name : kStyleAttributes)
        if (shape.attributes.hasAttribute(name))
            into.styles[name] = shape.attributes.value(name).toString();
}

class GeometryWriter {
  public:
    explicit GeometryWriter(DrawingXml dialect) : dialect_(dialect) {}

    void section(QString& out, long long ix, const Section& section) const {
        if (dialect_ == DrawingXml::Vsdx)
            out += QStringLiteral("<Section N=\"Geometry\" IX=\"%1\">").arg(ix);
        else
            out += QStringLiteral("<Geom IX=\"%1\">").arg(ix);
        for (const Cell& cell : section.cells) this->cell(out, cell);
        for (const auto& [rowIx, row] : section.rows) {
            if (row.type.isEmpty()) continue;
            rowStart(out, row.type, rowIx);
            if (row.deleted) {
                out += QStringLiteral(" Del=\"1\"/>");
                continue;
            }
            out += u'>';
            for (const Cell& cell : row.cells) this->cell(out, cell);
            out += dialect_ == DrawingXml::Vsdx ? QStringLiteral("</Row>")
                                                : QStringLiteral("</") + row.type + u'>';
        }
        out +=
            dialect_ == DrawingXml::Vsdx ? QStringLiteral("</Section>") : QStringLiteral("</Geom>");
    }

    void deletedSection(QString& out, long long ix) const {
        out += dialect_ == DrawingXml::Vsdx
                   ? QStringLiteral("<Section N=\"Geometry\" IX=\"%1\" Del=\"1\"/>").arg(ix)
                   : QStringLiteral("<Geom IX=\"%1\" Del=\"1\"/>").arg(ix);
    }

    void rowStart(QString& out, const QString& type, long long ix) const {
        if (dialect_ == DrawingXml::Vsdx)
            out += QStringLiteral("<Row T=\"%1\" IX=\"%2\"").arg(escaped(type)).arg(ix);
        else
            out += QStringLiteral("<%1 IX=\"%2\"").arg(type).arg(ix);
    }

    void cell(QString& out, const Cell& cell) const {
        if (dialect_ == DrawingXml::Vsdx) {
            out += QStringLiteral("<Cell N=\"") + escaped(cell.name) + u'"';
            writeAttributes(out, cell.attributes);
            out += QStringLiteral("/>");
        } else {
            out += u'<' + cell.name;
            writeAttributes(out, cell.attributes);
            out += u'>' + escaped(cell.text) + QStringLiteral("</") + cell.name + u'>';
        }
    }

  private:
    DrawingXml dialect_;
};

// A section flag (NoFill, NoLine, NoShow) written as cleared.
Cell clearedFlag(const QString& name, DrawingXml dialect) {
    Cell cell;
    cell.name = name;
    if (dialect == DrawingXml::Vsdx)
        cell.attributes.append(QStringLiteral("V"), QStringLiteral("0"));
    else
        cell.text = QStringLiteral("0");
    return cell;
}

bool validName(const QString& name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'-' || c == u':';
    });
}

// True when `at` starts a Shape tag, not a Shapes one.
bool isShapeTag(const QByteArray& xml, qsizetype at) {
    const qsizetype next = at + 6;
    return next < xml.size() && (xml[next] == ' ' || xml[next] == '>' || xml[next] == '/' ||
                                 xml[next] == '\t' || xml[next] == '\n' || xml[next] == '\r');
}

// The value of attribute `name` in a start tag's text, if it is there.
std::optional<QByteArrayView> attributeValue(QByteArrayView tag, QByteArrayView name) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    for (qsizetype at = tag.indexOf(name); at > 0; at = tag.indexOf(name, at + 1)) {
        qsizetype next = at + name.size();
        if (!space(tag[at - 1])) continue;
        while (next < tag.size() && space(tag[next])) ++next;
        if (next >= tag.size() || tag[next] != '=') continue;
        ++next;
        while (next < tag.size() && space(tag[next])) ++next;
        if (next >= tag.size() || (tag[next] != '\'' && tag[next] != '"')) continue;
        const qsizetype end = tag.indexOf(tag[next], next + 1);
        if (end < 0) return std::nullopt;
        return tag.sliced(next + 1, end - next - 1);
    }
    return std::nullopt;
}

}  // namespace

InheritedGeometry::InheritedGeometry(DrawingXml dialect)
    : dialect_(dialect), masters_(std::make_unique<MasterIndex>()) {}

InheritedGeometry::~InheritedGeometry() = default;

void InheritedGeometry::addMasterPart(const QString& masterId, std::function<QByteArray()> xml) {
    pendingMasters_.emplace(masterId, std::move(xml));
}

bool InheritedGeometry::indexMaster(const QString& masterId) {
    const auto pending = pendingMasters_.find(masterId);
    if (pending == pendingMasters_.end()) return true;
    const std::function<QByteArray()> xml = std::move(pending->second);
    pendingMasters_.erase(pending);
    return walkShapes(QString::fromUtf8(xml()), dialect_, masterId,
                      [&](const ShapeFrame& shape, const QString& master, bool) {
                          addToIndex(*masters_, shape, master);
                      });
}

bool InheritedGeometry::mayNeedCompletion(const QByteArray& xml) {
    // Shape tags found by text, with the master libvisio takes for each open shape: true when
    // a shape in a group names a master other than that of its group, or a master shape while
    // its group has none.
    std::vector<QByteArrayView> open;
    for (qsizetype at = xml.indexOf("Shape"); at >= 2; at = xml.indexOf("Shape", at + 5)) {
        if (xml[at - 1] == '/' && xml[at - 2] == '<') {
            if (at + 5 < xml.size() && xml[at + 5] != '>') continue;
            if (!open.empty()) open.pop_back();
            continue;
        }
        if (xml[at - 1] != '<' || !isShapeTag(xml, at - 1)) continue;
        const qsizetype end = xml.indexOf('>', at);
        if (end < 0) return false;
        const QByteArrayView tag = QByteArrayView(xml).sliced(at, end - at);
        const std::optional<QByteArrayView> master = attributeValue(tag, "Master");
        const bool masterShape = attributeValue(tag, "MasterShape").has_value();
        QByteArrayView libvisioMaster;
        if (master || masterShape) {
            if (!open.empty()) {
                if (master ? *master != open.back() : open.back().isEmpty()) return true;
                libvisioMaster = open.back();
            } else {
                libvisioMaster = master.value_or(QByteArrayView());
            }
        }
        if (!tag.endsWith('/')) open.push_back(libvisioMaster);
    }
    return false;
}

std::optional<QByteArray> InheritedGeometry::completePage(const QByteArray& bytes) {
    if (!mayNeedCompletion(bytes)) return std::nullopt;
    const QString xml = QString::fromUtf8(bytes);
    std::vector<ShapeFrame> candidates;
    std::vector<bool> emptyShapes;
    const bool read = walkShapes(
        xml, dialect_, QString(), [&](ShapeFrame& shape, const QString& master, bool empty) {
            if (!master.isEmpty()) {
                addToIndex(*masters_, shape, master);
                return;
            }
            // Only shapes with Geometry rows of their own are completed: one without holds
            // none of its master's other cells either (its size and place), which libvisio
            // loses with the master, so an outline would land in the wrong place.
            if (shape.visio == shape.libvisio || !shape.readable || !shape.hasGeometry) return;
            emptyShapes.push_back(empty);
            candidates.push_back(std::move(shape));
        });
    if (!read || candidates.empty()) return std::nullopt;
    for (const ShapeFrame& shape : candidates)
        if (!indexMaster(shape.visio.master) || !indexMaster(shape.libvisio.master))
            return std::nullopt;

    const GeometryWriter writer(dialect_);
    std::vector<Edit> edits;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const ShapeFrame& shape = candidates[i];
        const MasterShape* visio = masters_->find(shape.visio);
        const MasterShape* libvisio = masters_->find(shape.libvisio);
        if (visio == libvisio) continue;
        Geometry complete = merged(visio ? visio->geometry : Geometry(), shape.geometry);
        // What libvisio would take from the wrong master is taken away again: sections and
        // rows by deletion, a set NoFill, NoLine or NoShow by clearing it.
        QString geometry;
        if (libvisio) {
            for (const auto& [ix, section] : libvisio->geometry) {
                const auto kept = complete.find(ix);
                if (kept == complete.end()) {
                    writer.deletedSection(geometry, ix);
                    continue;
                }
                for (const auto& [rowIx, row] : section.rows)
                    if (!kept->second.rows.count(rowIx) && !row.type.isEmpty())
                        kept->second.rows[rowIx] = Row{row.type, true, {}};
                for (const Cell& cell : section.cells) {
                    std::vector<Cell>& cells = kept->second.cells;
                    if (std::none_of(cells.begin(), cells.end(),
                                     [&](const Cell& c) { return c.name == cell.name; }))
                        cells.push_back(clearedFlag(cell.name, dialect_));
                }
            }
        }
        QString styles;
        if (visio)
            for (const auto& [name, value] : visio->styles)
                if (!shape.attributes.hasAttribute(name))
                    styles += u' ' + name + QStringLiteral("=\"") + escaped(value) + u'"';
        for (const auto& [ix, section] : complete) writer.section(geometry, ix, section);
        if (geometry.isEmpty() && styles.isEmpty()) continue;
        added_ += geometry.size() + styles.size();
        if (added_ > kMaxAddedText) return std::nullopt;

        // The start tag ends in ">" or, for a shape without content, "/>".
        const qsizetype tagEnd = shape.tagEnd;
        const bool empty = emptyShapes[i];
        if (tagEnd < 2 || xml[tagEnd - 1] != u'>' || (empty && xml[tagEnd - 2] != u'/') ||
            !validName(shape.qualifiedName))
            continue;
        if (empty)
            edits.push_back(
                {tagEnd - 2, 2,
                 styles + u'>' + geometry + QStringLiteral("</") + shape.qualifiedName + u'>'});
        else {
            edits.push_back({tagEnd - 1, 0, styles});
            edits.push_back({tagEnd, 0, geometry});
        }
        for (const auto& [start, end] : shape.geometryRanges) {
            if (start < tagEnd || end <= start) return std::nullopt;
            edits.push_back({start, end - start, QString()});
        }
    }
    if (edits.empty()) return std::nullopt;

    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.at < b.at; });
    QString out;
    out.reserve(xml.size() + edits.size() * 64);
    qsizetype from = 0;
    for (const Edit& edit : edits) {
        if (edit.at < from) return std::nullopt;
        out += QStringView(xml).mid(from, edit.at - from);
        out += edit.insert;
        from = edit.at + edit.remove;
    }
    out += QStringView(xml).mid(from);
    return out.toUtf8();
}

}  // namespace pbp::render
