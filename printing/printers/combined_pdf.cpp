#include "printing/printers/combined_pdf.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <exception>
#include <vector>

#include "support/vb_error.h"

namespace pbp::printers {

namespace {

// One outline entry below the root: a document, or a sheet of one.
struct OutlineEntry {
    QString title;
    int firstPage = 0;  // 0-based index into the joined pages
    std::vector<OutlineEntry> children;
};

VbError writeError(const QString& path, const QString& reason) {
    return VbError(errnum::kPathFileAccess,
                   QStringLiteral("Cannot write the PDF \"%1\": %2").arg(path, reason));
}

// Hands what QPDFWriter writes to the file being saved.
class SaveFilePipeline : public Pipeline {
  public:
    explicit SaveFilePipeline(QSaveFile& file) : Pipeline("save file", nullptr), file_(file) {}
    void write(unsigned char const* data, size_t length) override {
        if (file_.write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length))
            throw std::runtime_error(file_.errorString().toStdString());
    }
    void finish() override {}

  private:
    QSaveFile& file_;
};

QPDFObjectHandle titleOf(const QString& title) {
    return QPDFObjectHandle::newUnicodeString(title.toStdString());
}

// Links the entries below `parent` (First, Last, Prev, Next, Parent), each pointing at its
// first page, and returns how many entries lie below the parent.
int linkOutline(QPDF& pdf, QPDFObjectHandle parent, const std::vector<OutlineEntry>& entries,
                const std::vector<QPDFPageObjectHelper>& pages) {
    std::vector<QPDFObjectHandle> items;
    int count = 0;
    for (const OutlineEntry& entry : entries) {
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title", titleOf(entry.title));
        item.replaceKey("/Parent", parent);
        item.replaceKey("/Dest", QPDFObjectHandle::newArray(
                                     {pages.at(size_t(entry.firstPage)).getObjectHandle(),
                                      QPDFObjectHandle::newName("/Fit")}));
        const int below = linkOutline(pdf, item, entry.children, pages);
        // Documents open collapsed (a negative count), so a long batch reads as a list of files.
        if (below > 0) item.replaceKey("/Count", QPDFObjectHandle::newInteger(-below));
        if (!items.empty()) {
            items.back().replaceKey("/Next", item);
            item.replaceKey("/Prev", items.back());
        }
        items.push_back(item);
        ++count;
    }
    if (!items.empty()) {
        parent.replaceKey("/First", items.front());
        parent.replaceKey("/Last", items.back());
    }
    return count;
}

// A document the joined pages came from. libqpdf reads its streams when the joined file is
// written, from these bytes, so both live as long as the joined document.
struct Source {
    QByteArray bytes;
    std::unique_ptr<QPDF> pdf = std::make_unique<QPDF>();
};

}  // namespace

struct CombinedPdf::Parts {
    QPDF joined;
    std::vector<Source> sources;
    std::vector<OutlineEntry> outline;
    int pages = 0;
};

CombinedPdf::CombinedPdf() : parts_(std::make_unique<Parts>()) {
    parts_->joined.emptyPDF();
}

CombinedPdf::~CombinedPdf() = default;

void CombinedPdf::append(const QByteArray& pdf, const QString& title,
                         const QStringList& sheetNames) {
    Source source{pdf};
    std::vector<QPDFPageObjectHelper> pages;
    try {
        source.pdf->setSuppressWarnings(true);
        source.pdf->processMemoryFile(title.toStdString().c_str(), source.bytes.constData(),
                                      size_t(source.bytes.size()));
        pages = QPDFPageDocumentHelper(*source.pdf).getAllPages();
    } catch (const std::exception& e) {
        throw VbError(errnum::kDeviceIo, QStringLiteral("The PDF of \"%1\" cannot be joined: %2")
                                             .arg(title, QString::fromStdString(e.what())));
    }
    if (pages.empty()) return;
    QPDFPageDocumentHelper joined(parts_->joined);
    int added = 0;
    try {
        for (QPDFPageObjectHelper& page : pages) {
            joined.addPage(page, false);
            ++added;
        }
    } catch (const std::exception& e) {
        // Nothing half: the pages of this document added so far go again.
        std::vector<QPDFPageObjectHelper> all = joined.getAllPages();
        for (int i = 0; i < added; ++i) joined.removePage(all.at(all.size() - 1 - size_t(i)));
        throw VbError(errnum::kDeviceIo, QStringLiteral("The PDF of \"%1\" cannot be joined: %2")
                                             .arg(title, QString::fromStdString(e.what())));
    }
    OutlineEntry document{title, parts_->pages, {}};
    for (int i = 0; i < added; ++i) {
        const QString name = i < sheetNames.size() && !sheetNames.at(i).isEmpty()
                                 ? sheetNames.at(i)
                                 : QStringLiteral("Page %1").arg(i + 1);
        document.children.push_back({name, parts_->pages + i, {}});
    }
    parts_->outline.push_back(std::move(document));
    parts_->sources.push_back(std::move(source));
    parts_->pages += added;
}

int CombinedPdf::pageCount() const {
    return parts_->pages;
}

void CombinedPdf::write(const QString& path) {
    QPDF& pdf = parts_->joined;
    QPDFObjectHandle root = pdf.getRoot();
    QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
    const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
    outlines.replaceKey(
        "/Count", QPDFObjectHandle::newInteger(linkOutline(pdf, outlines, parts_->outline, pages)));
    root.replaceKey("/Outlines", outlines);
    root.replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw writeError(path, file.errorString());
    try {
        SaveFilePipeline output(file);
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&output);
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
    } catch (const std::exception& e) {
        file.cancelWriting();
        throw writeError(path, QString::fromStdString(e.what()));
    }
    if (!file.commit()) throw writeError(path, file.errorString());
}

QString pdfTargetProblem(const QString& path) {
    const QFileInfo target(path);
    if (target.isDir()) return QStringLiteral("it is a folder");
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("the folder \"%1\" does not exist").arg(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".plenbatchprint-XXXXXX.part")));
    if (!probe.open())
        return QStringLiteral("the folder \"%1\" cannot be written: %2")
            .arg(folder, probe.errorString());
    return {};
}

}  // namespace pbp::printers
