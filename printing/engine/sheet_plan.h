#pragma once

// The print rules in one place: which sheets a drawing prints, in which order, on which paper,
// in which orientation and at which scale. The worker paints exactly what a plan lists, the
// program plans the same way to print and to check that what was painted ahead is still wanted,
// and a preview shows the same sheets.

#include <QPageSize>
#include <QRectF>
#include <QString>
#include <vector>

#include "printing/engine/drawing_file.h"

namespace pbp::visio {

// A paper the printer offers, with the media name a job on it asks for (empty for a printer
// that takes any paper, such as the PDF printer).
struct OfferedPaper {
    QPageSize paper;
    QString media;
    bool operator==(const OfferedPaper&) const = default;
};

// Through the drawing's last foreground page.
inline constexpr int kLastPage = 32767;

// How a drawing is to be printed, as far as the sheets are concerned.
struct PlanOptions {
    int fromPage = 1;        // foreground pages, numbered from 1 ...
    int toPage = kLastPage;  // ... through this one: 1 prints the first page only
    int copies = 1;          // each page's sheets in the document; 1 when the printer copies
    bool collate = false;    // 1,2,...,1,2,... rather than 1,1,2,2,...
    QPageSize defaultPaper;  // the printer's default paper, for pages on a paper not offered
    std::vector<OfferedPaper> offered;      // the papers the printer offers that may be asked
    bool turnLandscapeShapedPages = false;  // print pages wider than high landscape
};

// One printed sheet.
struct PlannedSheet {
    int page = 0;      // index into the drawing's pages
    QString pageName;  // the page's name in the file; empty when the file gives none
    QPageSize paper;   // as the printer names it; a landscape sheet turns it
    bool landscape = false;
    double scale = 1.0;  // the drawing's scale on the sheet: 1 when it fits, less when shrunk
    QRectF drawingArea;  // where the drawing lands, in points from the printable area's corner
    bool operator==(const PlannedSheet&) const = default;
};

// Every sheet of one drawing's print job, in print order.
class SheetPlan {
  public:
    SheetPlan() = default;
    SheetPlan(std::vector<PlannedSheet> sheets, QString media, int foregroundPages)
        : sheets_(std::move(sheets)), media_(std::move(media)), foregroundPages_(foregroundPages) {}

    const std::vector<PlannedSheet>& sheets() const& { return sheets_; }
    // A temporary plan hands its sheets over, so that none refers into it once it is gone.
    std::vector<PlannedSheet> sheets() && { return std::move(sheets_); }
    // The CUPS media the job asks for: empty for the printer's default paper, for a printer that
    // takes any paper, or when the sheets are not all on one paper the drawing chose (they are
    // then all on the default paper).
    const QString& media() const { return media_; }
    // The drawing's foreground pages, printed or not.
    int foregroundPages() const { return foregroundPages_; }
    bool operator==(const SheetPlan&) const = default;

  private:
    std::vector<PlannedSheet> sheets_;
    QString media_;
    int foregroundPages_ = 0;
};

// The sheets of pages fromPage..toPage (clipped to the foreground pages; none when the drawing
// has none), each `copies` times: uncollated 1,1,2,2,..., collated 1,2,...,1,2,... Each page
// prints on its own paper (PaperKind) where the printer offers it, else on the default paper,
// and every sheet on the default paper when the printed pages ask for different offered papers
// of a printer that prints a job on one paper.
SheetPlan planSheets(const std::vector<DrawingPage>& pages, const PlanOptions& options);

// The pages that are not background pages.
int foregroundPageCount(const std::vector<DrawingPage>& pages);

// True when the page prints landscape: it asks for it, or it is wider than high and such pages
// are turned.
bool printsLandscape(const DrawingPage& page, bool turnLandscapeShapedPages);

}  // namespace pbp::visio
