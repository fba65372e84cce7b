#include "printing/engine/render/completed_input.h"

#include <librevenge-stream/librevenge-stream.h>

#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>
#include <map>
#include <string>
#include <vector>

#include "printing/engine/render/inherited_geometry.h"

namespace pbp::render {

namespace {

// Far beyond any real drawing's part; a drawing with a larger one is read as it is, never held
// in memory whole here.
constexpr unsigned long kMaxPartBytes = 64ul * 1024 * 1024;

QByteArray readAll(librevenge::RVNGInputStream& stream) {
    QByteArray bytes;
    stream.seek(0, librevenge::RVNG_SEEK_SET);
    while (!stream.isEnd()) {
        unsigned long read = 0;
        const unsigned char* data = stream.read(64 * 1024, read);
        if (!data || read == 0) break;
        if (bytes.size() + read > kMaxPartBytes) return {};
        bytes.append(reinterpret_cast<const char*>(data), qsizetype(read));
    }
    stream.seek(0, librevenge::RVNG_SEEK_SET);
    return bytes;
}

QByteArray readPart(librevenge::RVNGInputStream& package, const std::string& name) {
    const std::unique_ptr<librevenge::RVNGInputStream> part(
        package.getSubStreamByName(name.c_str()));
    package.seek(0, librevenge::RVNG_SEEK_SET);
    return part ? readAll(*part) : QByteArray();
}

// A part name as libvisio forms it: the target below the base folder, with "." and ".."
// resolved and empty segments dropped.
std::string partName(const QString& baseFolder, const QString& target) {
    QStringList kept;
    QString joined = baseFolder.isEmpty() ? target : baseFolder + u'/' + target;
    joined.replace(u'\\', u'/');
    for (const QString& segment : joined.split(u'/')) {
        if (segment == u"..") {
            if (!kept.isEmpty()) kept.removeLast();
        } else if (!segment.isEmpty() && segment != u".") {
            kept.append(segment);
        }
    }
    return kept.join(u'/').toStdString();
}

QString folderOf(const std::string& name) {
    const QString path = QString::fromStdString(name);
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash);
}

struct Relationship {
    QString id;
    QString type;
    std::string target;
};

// The relationships in the part `relsName`, targets as part names below `folder`.
std::vector<Relationship> relationshipsIn(librevenge::RVNGInputStream& package,
                                          const std::string& relsName, const QString& folder) {
    QXmlStreamReader reader(readPart(package, relsName));
    std::vector<Relationship> found;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"Relationship")
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (a.value(QLatin1String("TargetMode")) == u"External") continue;
        found.push_back({a.value(QLatin1String("Id")).toString(),
                         a.value(QLatin1String("Type")).toString(),
                         partName(folder, a.value(QLatin1String("Target")).toString())});
    }
    return found;
}

// The relationships of part `name` (its _rels/NAME.rels).
std::vector<Relationship> relationships(librevenge::RVNGInputStream& package,
                                        const std::string& name) {
    const QString folder = folderOf(name);
    const QString file = QString::fromStdString(name).mid(folder.isEmpty() ? 0 : folder.size() + 1);
    const QString rels = (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") +
                         file + QStringLiteral(".rels");
    return relationshipsIn(package, rels.toStdString(), folder);
}

// The last relationship of the type, as libvisio picks it.
const Relationship* ofType(const std::vector<Relationship>& all, QStringView typeEnd) {
    const Relationship* found = nullptr;
    for (const Relationship& r : all)
        if (r.type.endsWith(typeEnd)) found = &r;
    return found;
}

// Each master's ID with the relationship ID of its part, from masters.xml.
std::vector<std::pair<QString, QString>> masterParts(const QByteArray& mastersXml) {
    std::vector<std::pair<QString, QString>> found;
    QXmlStreamReader reader(mastersXml);
    QString master;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        if (reader.name() == u"Master") {
            master = reader.attributes().value(QLatin1String("ID")).toString();
        } else if (reader.name() == u"Rel" && !master.isEmpty()) {
            for (const QXmlStreamAttribute& a : reader.attributes())
                if (a.name() == u"id") found.emplace_back(master, a.value().toString());
        }
    }
    return found;
}

// The package with its pages held in memory, completed or as read; everything else is read from
// the original.
class CompletedPackage : public librevenge::RVNGInputStream {
  public:
    CompletedPackage(librevenge::RVNGInputStream& base, std::map<std::string, QByteArray> parts)
        : base_(base), parts_(std::move(parts)) {}

    bool isStructured() override { return base_.isStructured(); }
    unsigned subStreamCount() override { return base_.subStreamCount(); }
    const char* subStreamName(unsigned id) override { return base_.subStreamName(id); }
    bool existsSubStream(const char* name) override { return base_.existsSubStream(name); }
    librevenge::RVNGInputStream* getSubStreamByName(const char* name) override {
        if (name) {
            const auto part = parts_.find(partName(QString(), QString::fromUtf8(name)));
            if (part != parts_.end())
                return new librevenge::RVNGStringStream(
                    reinterpret_cast<const unsigned char*>(part->second.constData()),
                    unsigned(part->second.size()));
        }
        return base_.getSubStreamByName(name);
    }
    librevenge::RVNGInputStream* getSubStreamById(unsigned id) override {
        const char* name = base_.subStreamName(id);
        return name ? getSubStreamByName(name) : base_.getSubStreamById(id);
    }
    const unsigned char* read(unsigned long numBytes, unsigned long& numBytesRead) override {
        return base_.read(numBytes, numBytesRead);
    }
    int seek(long offset, librevenge::RVNG_SEEK_TYPE seekType) override {
        return base_.seek(offset, seekType);
    }
    long tell() override { return base_.tell(); }
    bool isEnd() override { return base_.isEnd(); }

  private:
    librevenge::RVNGInputStream& base_;
    std::map<std::string, QByteArray> parts_;
};

CompletedInput completedPackage(librevenge::RVNGInputStream& package) {
    const std::vector<Relationship> root = relationshipsIn(package, "_rels/.rels", QString());
    const Relationship* document = ofType(root, u"/relationships/document");
    if (!document) return {};
    const std::vector<Relationship> parts = relationships(package, document->target);
    const Relationship* masters = ofType(parts, u"/relationships/masters");
    const Relationship* pages = ofType(parts, u"/relationships/pages");
    if (!masters || !pages) return {};

    // Every page part read here is handed to libvisio from memory, completed or as it is, so
    // that no page is inflated twice. The masters are read only when a page has a shape that may
    // need them.
    std::map<std::string, QByteArray> pageXml;
    std::vector<std::string> toComplete;
    for (const Relationship& page : relationships(package, pages->target)) {
        if (!page.type.endsWith(u"/relationships/page")) continue;
        QByteArray xml = readPart(package, page.target);
        if (xml.isEmpty()) continue;
        if (InheritedGeometry::mayNeedCompletion(xml)) toComplete.push_back(page.target);
        pageXml[page.target] = std::move(xml);
    }
    if (pageXml.empty()) return {};

    bool completed = false;
    if (!toComplete.empty()) {
        InheritedGeometry geometry(DrawingXml::Vsdx);
        const std::vector<Relationship> masterRels = relationships(package, masters->target);
        for (const auto& [masterId, relId] : masterParts(readPart(package, masters->target)))
            for (const Relationship& r : masterRels)
                if (r.id == relId)
                    geometry.addMasterPart(
                        masterId, [&package, name = r.target] { return readPart(package, name); });
        for (const std::string& name : toComplete)
            if (std::optional<QByteArray> done = geometry.completePage(pageXml[name])) {
                pageXml[name] = std::move(*done);
                completed = true;
            }
    }
    return {std::make_unique<CompletedPackage>(package, std::move(pageXml)), completed};
}

CompletedInput completedDocument(librevenge::RVNGInputStream& input) {
    const QByteArray bytes = readAll(input);
    if (!bytes.contains("<VisioDocument")) return {};
    InheritedGeometry geometry(DrawingXml::Vdx);
    const std::optional<QByteArray> xml = geometry.completePage(bytes);
    if (!xml) return {};
    return {std::make_unique<librevenge::RVNGStringStream>(
                reinterpret_cast<const unsigned char*>(xml->constData()), unsigned(xml->size())),
            true};
}

bool startsAsXml(librevenge::RVNGInputStream& input) {
    input.seek(0, librevenge::RVNG_SEEK_SET);
    unsigned long read = 0;
    const unsigned char* head = input.read(4, read);
    input.seek(0, librevenge::RVNG_SEEK_SET);
    if (!head) return false;
    const QByteArray start(reinterpret_cast<const char*>(head), qsizetype(read));
    return start.startsWith('<') || start.startsWith("\xEF\xBB\xBF<") || start.startsWith(" ") ||
           start.startsWith("\n") || start.startsWith("\r") || start.startsWith("\t");
}

}  // namespace

CompletedInput withInheritedGeometry(librevenge::RVNGInputStream& input) {
    try {
        input.seek(0, librevenge::RVNG_SEEK_SET);
        CompletedInput completed;
        if (input.isStructured()) {
            if (input.existsSubStream("_rels/.rels")) completed = completedPackage(input);
        } else if (startsAsXml(input)) {
            completed = completedDocument(input);
        }
        input.seek(0, librevenge::RVNG_SEEK_SET);
        return completed;
    } catch (...) {
        input.seek(0, librevenge::RVNG_SEEK_SET);
        return {};
    }
}

}  // namespace pbp::render
