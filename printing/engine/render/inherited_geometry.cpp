#include "printing/engine/render/inherited_geometry.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace pbp::render {

namespace {

// More added XML than any real drawing needs (in UTF-16 units): beyond it the drawing is read
// as it is.
constexpr qsizetype kMaxAddedText = 64 * 1024 * 1024;

const QString kStyleAttributes[] = {QStringLiteral("LineStyle"), QStringLiteral("FillStyle"),
                                    QStringLiteral("TextStyle")};

// Where a child element of a shape is inherited from: its element name (none for a .vdx
// Geometry row, whose type may change), its name (N or NameU) and its row or section index.
struct Key {
    QString tag;
    QString name;
    long long ix = -1;
    bool operator<(const Key& other) const {
        return std::tie(tag, name, ix) < std::tie(other.tag, other.name, other.ix);
    }
};

// A shape's child element: a section or row whose cells are inherited one by one, or a cell
// or text kept whole as it is in the file.
struct Node {
    QString tag;
    QXmlStreamAttributes attributes;
    QString xml;  // a whole element's XML, as in the file
    bool container = false;
    std::map<Key, Node> children;
};

using Sheet = std::map<Key, Node>;

struct MasterShape {
    Sheet sheet;
    std::map<QString, QString> styles;
};

struct Master {
    QString firstShape;
    std::unordered_map<QString, MasterShape> shapes;
};

bool isTrue(QStringView value) {
    return value == u"1" || value == u"true";
}

bool isDeleted(const Node& node) {
    return node.container && isTrue(node.attributes.value(QLatin1String("Del")));
}

void setAttributes(QXmlStreamAttributes& into, const QXmlStreamAttributes& own) {
    for (const QXmlStreamAttribute& a : own) {
        auto at = std::find_if(into.begin(), into.end(), [&](const QXmlStreamAttribute& b) {
            return b.qualifiedName() == a.qualifiedName();
        });
        if (at == into.end())
            into.append(a);
        else
            *at = a;
    }
}

// The shape's own elements laid over its master's, as Visio inherits them: by section and row
// name and index, cell by cell; a deleted section or row takes the inherited one away.
void merge(Sheet& base, const Sheet& own) {
    for (const auto& [key, node] : own) {
        if (isDeleted(node)) {
            base.erase(key);
            continue;
        }
        const auto at = base.find(key);
        if (at == base.end() || !node.container || !at->second.container) {
            base[key] = node;
            continue;
        }
        at->second.tag = node.tag;
        setAttributes(at->second.attributes, node.attributes);
        merge(at->second.children, node.children);
    }
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
    Sheet sheet;
    std::vector<std::pair<qsizetype, qsizetype>> sheetRanges;  // where its own elements are
    bool readable = true;
    bool wanted = false;    // a master's shape or one libvisio looks up wrongly: its sheet counts
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

enum class Kind { Other, Leaf, Container };

// How a shape's child element at `level` (1 for the shape's own children) is inherited: cells
// and text whole, sections and rows cell by cell; nested shapes and foreign data not at all.
Kind kindOf(const QXmlStreamReader& reader, DrawingXml dialect, int level) {
    const QStringView tag = reader.name();
    if (level == 1) {
        if (!reader.prefix().isEmpty() || tag == u"Shapes" || tag == u"ForeignData")
            return Kind::Other;
        if (dialect == DrawingXml::Vsdx) return tag == u"Section" ? Kind::Container : Kind::Leaf;
        return tag == u"Text" || tag.startsWith(u"Data") ? Kind::Leaf : Kind::Container;
    }
    if (level == 2)
        return (dialect == DrawingXml::Vsdx ? tag == u"Row"
                                            : reader.attributes().hasAttribute(QLatin1String("IX")))
                   ? Kind::Container
                   : Kind::Leaf;
    return Kind::Leaf;
}

Key keyOf(const QXmlStreamReader& reader, DrawingXml dialect, int level, Kind kind) {
    const QXmlStreamAttributes attributes = reader.attributes();
    Key key;
    key.tag = dialect == DrawingXml::Vdx && level == 2 && kind == Kind::Container
                  ? QString()
                  : reader.qualifiedName().toString();
    key.name =
        attributes.value(dialect == DrawingXml::Vsdx ? QLatin1String("N") : QLatin1String("NameU"))
            .toString();
    bool ok = false;
    const long long ix = attributes.value(QLatin1String("IX")).toLongLong(&ok);
    if (ok) key.ix = ix;
    return key;
}

// Reads the element the reader stands on (its start element) up to its end. `xml` is the text
// the reader reads.
Node readNode(QXmlStreamReader& reader, const QString& xml, DrawingXml dialect, int level,
              Kind kind) {
    Node node;
    node.tag = reader.qualifiedName().toString();
    node.attributes = reader.attributes();
    const qsizetype start = xml.lastIndexOf(u'<', reader.characterOffset() - 1);
    if (kind == Kind::Leaf) {
        reader.skipCurrentElement();
        node.xml = xml.mid(start, reader.characterOffset() - start);
        return node;
    }
    node.container = true;
    bool text = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token == QXmlStreamReader::Characters && !reader.isWhitespace()) text = true;
        if (token != QXmlStreamReader::StartElement) continue;
        const Kind childKind = kindOf(reader, dialect, level + 1);
        const Key key = keyOf(reader, dialect, level + 1, childKind);
        node.children[key] = readNode(reader, xml, dialect, level + 1, childKind);
    }
    // An element with text of its own is a cell, kept whole.
    if (text) {
        node.container = false;
        node.children.clear();
        node.xml = xml.mid(start, reader.characterOffset() - start);
    }
    return node;
}

// Walks every Shape of the XML. For each it knows its own sections and cells and where Visio
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
            const Kind kind =
                stack.empty() || !stack.back().wanted || depth != stack.back().depth + 1
                    ? Kind::Other
                    : kindOf(reader, dialect, 1);
            if (kind != Kind::Other) {
                ShapeFrame& shape = stack.back();
                const qsizetype start = xml.lastIndexOf(u'<', reader.characterOffset() - 1);
                const Key key = keyOf(reader, dialect, 1, kind);
                if (shape.sheet.count(key)) shape.readable = false;
                shape.sheet[key] = readNode(reader, xml, dialect, 1, kind);
                shape.sheetRanges.emplace_back(start, reader.characterOffset());
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
    into.sheet = shape.sheet;
    for (const QString& name : kStyleAttributes)
        if (shape.attributes.hasAttribute(name))
            into.styles[name] = shape.attributes.value(name).toString();
}

void write(QString& out, const Node& node) {
    if (!node.container) {
        out += node.xml;
        return;
    }
    out += u'<' + node.tag;
    writeAttributes(out, node.attributes);
    if (node.children.empty()) {
        out += QStringLiteral("/>");
        return;
    }
    out += u'>';
    for (const auto& [key, child] : node.children) write(out, child);
    out += QStringLiteral("</") + node.tag + u'>';
}

bool isGeometry(const Key& key, DrawingXml dialect) {
    return dialect == DrawingXml::Vsdx ? key.tag == u"Section" && key.name == u"Geometry"
                                       : key.tag == u"Geom";
}

// The section or row as deleted.
Node deleted(const Node& node) {
    Node gone{node.tag, node.attributes, QString(), true, {}};
    QXmlStreamAttributes del;
    del.append(QStringLiteral("Del"), QStringLiteral("1"));
    setAttributes(gone.attributes, del);
    return gone;
}

// A section flag (NoFill, NoLine, NoShow) written as cleared.
Node clearedFlag(const Key& key, DrawingXml dialect) {
    Node cell;
    cell.xml = dialect == DrawingXml::Vsdx
                   ? QStringLiteral("<Cell N=\"%1\" V=\"0\"/>").arg(escaped(key.name))
                   : QStringLiteral("<%1>0</%1>").arg(key.tag);
    return cell;
}

// Takes away again what libvisio would take from the wrong master's Geometry: sections and
// rows by deletion, a set NoFill, NoLine or NoShow by clearing it.
void undoWrongGeometry(Sheet& complete, const Sheet& wrong, DrawingXml dialect) {
    for (const auto& [key, section] : wrong) {
        if (!isGeometry(key, dialect) || !section.container) continue;
        const auto kept = complete.find(key);
        if (kept == complete.end()) {
            complete[key] = deleted(section);
            continue;
        }
        for (const auto& [childKey, child] : section.children)
            if (!kept->second.children.count(childKey))
                kept->second.children[childKey] =
                    child.container ? deleted(child) : clearedFlag(childKey, dialect);
    }
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
    const bool read = walkShapes(xml, dialect_, QString(),
                                 [&](ShapeFrame& shape, const QString& master, bool empty) {
                                     if (!master.isEmpty()) {
                                         addToIndex(*masters_, shape, master);
                                         return;
                                     }
                                     // A deleted shape stands for a master's shape left out of the
                                     // instance.
                                     if (shape.visio == shape.libvisio || !shape.readable ||
                                         isTrue(shape.attributes.value(QLatin1String("Del"))))
                                         return;
                                     emptyShapes.push_back(empty);
                                     candidates.push_back(std::move(shape));
                                 });
    if (!read || candidates.empty()) return std::nullopt;
    for (const ShapeFrame& shape : candidates)
        if (!indexMaster(shape.visio.master) || !indexMaster(shape.libvisio.master))
            return std::nullopt;

    std::vector<Edit> edits;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const ShapeFrame& shape = candidates[i];
        const MasterShape* visio = masters_->find(shape.visio);
        const MasterShape* libvisio = masters_->find(shape.libvisio);
        if (visio == libvisio) continue;
        Sheet complete = visio ? visio->sheet : Sheet();
        merge(complete, shape.sheet);
        if (libvisio) undoWrongGeometry(complete, libvisio->sheet, dialect_);
        QString styles;
        if (visio)
            for (const auto& [name, value] : visio->styles)
                if (!shape.attributes.hasAttribute(name))
                    styles += u' ' + name + QStringLiteral("=\"") + escaped(value) + u'"';
        QString sheet;
        for (const auto& [key, node] : complete) write(sheet, node);
        if (sheet.isEmpty() && styles.isEmpty()) continue;
        added_ += sheet.size() + styles.size();
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
                 styles + u'>' + sheet + QStringLiteral("</") + shape.qualifiedName + u'>'});
        else {
            edits.push_back({tagEnd - 1, 0, styles});
            edits.push_back({tagEnd, 0, sheet});
        }
        for (const auto& [start, end] : shape.sheetRanges) {
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
