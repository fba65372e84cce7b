#pragma once

#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

#include "printing/engine/print_orientation.h"

namespace librevenge {
class RVNGInputStream;
}

namespace pbp::visio {

// One page as the drawing file itself describes it, before any renderer is involved.
struct PageTableEntry {
    quint32 id = 0;           // the page's id in the file; background pages are ordered by it
    bool background = false;  // a background page, printed only beneath foreground pages
    std::optional<double> widthInches;                      // PageWidth, when the file states it
    std::optional<double> heightInches;                     // PageHeight, when the file states it
    PrintOrientation orientation = PrintOrientation::None;  // PrintPageOrientation
    QString name;       // the page's name, when the file states it
    int paperKind = 0;  // PaperKind, the paper the page is set up for; 0 when the file gives none
};

// The file's pages in file order.
using PageTable = std::vector<PageTableEntry>;

// The file's own page table is cut off or broken: the drawing is damaged.
struct PageTableDamaged : std::runtime_error {
    PageTableDamaged() : std::runtime_error("damaged page table") {}
};

// Reads the page table of a .vdx/.vtx (XML), .vsdx/.vstx/.vsdm (zip) or .vsd/.vst (OLE) drawing.
// Empty when the format keeps none the engine knows (Visio 1 to 4); throws PageTableDamaged
// when the table is cut off or broken, and for a zip drawing also when any part of its pages
// folder is not readable XML (libvisio draws such a page blank instead of failing). The
// readers below throw it likewise.
PageTable readPageTable(librevenge::RVNGInputStream& input);

// True when `xml` reads to its end as XML, judged by the parser and options libvisio uses.
bool isReadableXml(const QByteArray& xml);

// The XML page table of a .vdx/.vtx document (root VisioDocument); a page that states no
// PaperKind takes the one of the document's style 0.
PageTable readVdxPageTable(const QByteArray& xml);
// The page table of a .vsdx package part visio/pages/pages.xml; a page that states no PaperKind
// takes the one of the document's style 0 in visio/document.xml.
PageTable readVsdxPageTable(const QByteArray& pagesXml, const QByteArray& documentXml = {});
// The page pointers of a binary "VisioDocument" stream: background flags in the order the
// pages are stored and, for Visio 6 and 2003 files, each page sheet's print orientation;
// sizes stay unset.
PageTable readVsdPageTable(const QByteArray& visioDocumentStream);

}  // namespace pbp::visio
