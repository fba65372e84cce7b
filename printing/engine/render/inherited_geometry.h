#pragma once

// Completes the cells that shapes inherit from their masters, in the XML of .vsdx parts and .vdx
// documents, before libvisio reads them.
//
// A shape holds only the cells and rows that differ from its master's; the rest it inherits.
// libvisio 0.1.7 looks the master up wrongly for a shape with a Master of its own inside a
// group: it takes the group's master (or none), so such a shape loses what it inherits: the
// opening move and closing line of its outline, or, holding no rows of its own, its size,
// place, colours and text. Each such shape is given every cell, section and row of its master
// that it does not hold itself (its own merged over them, cell by cell), its master's text when
// it has none, the line, fill and text styles it inherits, and deletions for whatever Geometry
// rows libvisio would take from the wrong master.

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace pbp::render {

class MasterIndex;

enum class DrawingXml {
    Vsdx,  // Cell and Row elements with N and T attributes, Section N="Geometry"
    Vdx,   // cells and rows as elements of their own name, Geom
};

// The masters' shapes of one drawing, collected part by part.
class InheritedGeometry {
  public:
    explicit InheritedGeometry(DrawingXml dialect);
    ~InheritedGeometry();
    InheritedGeometry(const InheritedGeometry&) = delete;
    InheritedGeometry& operator=(const InheritedGeometry&) = delete;

    // Adds a .vsdx master part (MasterContents) as master `masterId`, read through `xml` only
    // once a page's shape refers to it.
    void addMasterPart(const QString& masterId, std::function<QByteArray()> xml);

    // False when, by a quick look at its text, no shape of the XML can need completing.
    static bool mayNeedCompletion(const QByteArray& xml);

    // Returns the page XML with the shapes' inherited geometry completed, or nothing when no
    // shape needs it or the XML cannot be read. A .vdx document carries its masters itself;
    // they are collected from it first. Stops with nothing once the additions for the whole
    // drawing pass a bound far beyond any real drawing's.
    std::optional<QByteArray> completePage(const QByteArray& xml);

  private:
    // Reads the master's part if it has not been read; false when it is malformed.
    bool indexMaster(const QString& masterId);

    DrawingXml dialect_;
    std::map<QString, std::function<QByteArray()>> pendingMasters_;
    std::unique_ptr<MasterIndex> masters_;
    qsizetype added_ = 0;
};

}  // namespace pbp::render
