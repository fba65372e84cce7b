#pragma once

#include <QSizeF>
#include <QStringList>
#include <memory>

#include "support/vb_error.h"

class QPainter;
namespace librevenge {
class RVNGInputStream;
}

namespace pbp::render {

// A drawing with more pages or more content than any printout holds (the recorder's bounds):
// its description says which.
class DrawingTooLarge : public VbError {
  public:
    explicit DrawingTooLarge(const QString& reason);
    // The bound it passed, such as "it has more than 10,000 pages".
    const QString& reason() const { return reason_; }

  private:
    QString reason_;
};

// The pages of one drawing as libvisio reports them (foreground pages first, then every
// background page again as a page of its own), recorded once and painted any number of times.
class RecordedDrawing {
  public:
    // Parses the stream with libvisio. Throws pbp::VbError when libvisio does not support the
    // stream or cannot read it, DrawingTooLarge when the drawing passes the recorder's bounds.
    static RecordedDrawing record(librevenge::RVNGInputStream& input);

    int pageCount() const;
    // The page's size in inches as libvisio reports it (may be 0 x 0).
    QSizeF pageSizeInches(int index) const;
    // The page's name as the drawing gives it; empty when it gives none.
    QString pageName(int index) const;
    // Paints page `index` (0-based). The painter's user space is the page in points (1/72 inch),
    // origin at the page's top-left corner; the caller sets the transform to its paper.
    void paintPage(int index, QPainter& painter) const;
    // What could not be drawn faithfully (unsupported pictures and the like), for the log.
    QStringList log() const;

  private:
    struct Data;
    // Parses a stream libvisio supports.
    static RecordedDrawing recordSupported(librevenge::RVNGInputStream& input);
    explicit RecordedDrawing(std::shared_ptr<const Data> data);
    std::shared_ptr<const Data> data_;
};

}  // namespace pbp::render
