#include "printing/engine/drawing_file.h"

#include <librevenge-stream/librevenge-stream.h>
#include <libvisio/libvisio.h>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

#include "printing/engine/engine_errors.h"

namespace pbp::visio {

namespace {

[[noreturn]] void fail(qint32 number, const QString& description) {
    throw VbError(number, description);
}

[[noreturn]] void failDamaged(const QString& path) {
    fail(engine_error::kBadFormat,
         QStringLiteral("%1 is damaged or truncated and cannot be read.").arg(quotedPath(path)));
}

// The whole file, read once: libvisio seeks and reads in small pieces, which from memory costs
// nothing and from a file costs a system call each.
QByteArray readDrawingBytes(const QString& path) {
    const QFileInfo info(path);
    // A name that was not UTF-8 reached us with replacement characters: no file has that name.
    if (path.contains(QChar::ReplacementCharacter) && !info.exists())
        fail(engine_error::kFileNotFound,
             QStringLiteral("The drawing name %1 cannot be decoded: it is not UTF-8 text, so the "
                            "file cannot be found by it.")
                 .arg(quotedPath(path)));
    if (path.isEmpty() || !info.exists())
        fail(engine_error::kFileNotFound,
             QStringLiteral("The drawing %1 does not exist.").arg(quotedPath(path)));
    if (info.isDir())
        fail(engine_error::kFileAccess,
             QStringLiteral("%1 is a folder, not a drawing.").arg(quotedPath(path)));
    // Opening a pipe or a device could block for ever or never end.
    if (!info.isFile())
        fail(engine_error::kFileAccess,
             QStringLiteral("%1 is not a regular file, not a drawing.").arg(quotedPath(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(engine_error::kFileAccess, QStringLiteral("The drawing %1 cannot be read: %2.")
                                            .arg(quotedPath(path), file.errorString()));
    // The parser addresses a stream with 32-bit sizes.
    if (file.size() > qint64(std::numeric_limits<unsigned>::max()))
        fail(engine_error::kBadFormat,
             QStringLiteral("%1 is too large to be a drawing.").arg(quotedPath(path)));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(engine_error::kFileAccess, QStringLiteral("The drawing %1 cannot be read: %2.")
                                            .arg(quotedPath(path), file.errorString()));
    if (bytes.isEmpty())
        fail(engine_error::kBadFormat,
             QStringLiteral("%1 is empty; it is not a drawing.").arg(quotedPath(path)));
    return bytes;
}

QString unsupportedDescription(librevenge::RVNGInputStream& stream, const QString& path) {
    stream.seek(0, librevenge::RVNG_SEEK_SET);
    if (stream.isStructured()) {
        if (stream.existsSubStream("VisioDocument"))
            return QStringLiteral("%1 was saved by a version of Visio that cannot be read.")
                .arg(quotedPath(path));
        return QStringLiteral("%1 is a package but not a Visio drawing.").arg(quotedPath(path));
    }
    return QStringLiteral("%1 is not a Visio drawing, or it is damaged.").arg(quotedPath(path));
}

// Recording checks the format first; only when it fails is the format checked again to tell a
// file that is no drawing from a damaged one. A drawing beyond the recorder's bounds says so.
render::RecordedDrawing recordOrFail(librevenge::RVNGInputStream& stream, const QString& path) {
    try {
        stream.seek(0, librevenge::RVNG_SEEK_SET);
        return render::RecordedDrawing::record(stream);
    } catch (const render::DrawingTooLarge& tooLarge) {
        fail(engine_error::kBadFormat,
             QStringLiteral("%1 cannot be printed: %2.").arg(quotedPath(path), tooLarge.reason()));
    } catch (...) {
        stream.seek(0, librevenge::RVNG_SEEK_SET);
        if (!libvisio::VisioDocument::isSupported(&stream))
            fail(engine_error::kBadFormat, unsupportedDescription(stream, path));
        failDamaged(path);
    }
}

}  // namespace

std::vector<DrawingPage> matchPages(const PageTable& table,
                                    const std::vector<QSizeF>& renderedSizesInches) {
    const int rendered = int(renderedSizesInches.size());
    const auto renderedPage = [&](int index) {
        DrawingPage page;
        if (index >= 0 && index < rendered) {
            page.renderedIndex = index;
            page.renderedSizeInches = renderedSizesInches[size_t(index)];
            page.widthInches = page.renderedSizeInches.width();
            page.heightInches = page.renderedSizeInches.height();
        }
        return page;
    };
    const auto describe = [](DrawingPage page, const PageTableEntry& entry) {
        page.background = entry.background;
        page.widthInches = entry.widthInches.value_or(page.widthInches);
        page.heightInches = entry.heightInches.value_or(page.heightInches);
        page.orientation = entry.orientation;
        page.name = entry.name;
        page.paperKind = entry.paperKind;
        return page;
    };

    std::vector<DrawingPage> pages;
    if (table.empty()) {
        for (int i = 0; i < rendered; ++i) pages.push_back(renderedPage(i));
        return pages;
    }
    std::vector<PageTableEntry> foreground, background;
    for (const PageTableEntry& entry : table)
        (entry.background ? background : foreground).push_back(entry);
    std::stable_sort(background.begin(), background.end(),
                     [](const auto& a, const auto& b) { return a.id < b.id; });

    // A foreground page the renderer did not draw cannot be printed; it is left out.
    const int printable = std::min(int(foreground.size()), rendered);
    for (int i = 0; i < printable; ++i)
        pages.push_back(describe(renderedPage(i), foreground[size_t(i)]));
    for (size_t i = 0; i < background.size(); ++i)
        pages.push_back(describe(renderedPage(int(foreground.size() + i)), background[i]));
    return pages;
}

DrawingFile loadDrawingFile(const QString& path) {
    const QByteArray bytes = readDrawingBytes(path);
    librevenge::RVNGStringStream stream(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                        unsigned(bytes.size()));

    DrawingFile file;
    file.path = path;
    file.drawing = std::make_shared<const render::RecordedDrawing>(recordOrFail(stream, path));
    std::vector<QSizeF> sizes;
    for (int i = 0; i < file.drawing->pageCount(); ++i)
        sizes.push_back(file.drawing->pageSizeInches(i));

    PageTable table;
    try {
        stream.seek(0, librevenge::RVNG_SEEK_SET);
        table = stream.isStructured() ? readPageTable(stream) : readVdxPageTable(bytes);
    } catch (const PageTableDamaged&) {
        failDamaged(path);
    }
    file.pages = matchPages(table, sizes);
    // Binary drawings keep no names in the page table the engine reads; libvisio reports them.
    for (DrawingPage& page : file.pages)
        if (page.name.isEmpty()) page.name = file.drawing->pageName(page.renderedIndex);
    // Every drawing has at least one page; none at all means the file was cut off.
    if (file.pages.empty()) failDamaged(path);
    return file;
}

}  // namespace pbp::visio
