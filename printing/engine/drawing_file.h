#pragma once

#include <QSizeF>
#include <QString>
#include <memory>
#include <vector>

#include "printing/engine/page_table.h"
#include "printing/engine/render/recorded_drawing.h"

namespace pbp::visio {

// One page of an opened drawing, foreground pages first, then background pages by id.
struct DrawingPage {
    bool background = false;
    double widthInches = 0;   // PageWidth
    double heightInches = 0;  // PageHeight
    QString printPageOrientation = QStringLiteral("0");
    int paperKind = 0;       // PaperKind: the paper the page is set up for, 0 when none
    int renderedIndex = -1;  // the renderer's page, -1 when it drew none for this page
    QSizeF renderedSizeInches;
    QString name;  // the page's name (its tab in Visio); empty when the drawing gives none
};

// An opened drawing: what the renderer recorded and the pages as the engine presents them.
struct DrawingFile {
    QString path;
    std::shared_ptr<const render::RecordedDrawing> drawing;
    std::vector<DrawingPage> pages;
};

// Opens and parses a drawing. Throws VbError with a description naming the file when it is
// missing, a folder, unreadable, empty, not a drawing, of an unsupported version or damaged.
DrawingFile loadDrawingFile(const QString& path);

// Matches the renderer's pages (foreground pages, then background pages again) with the file's
// page table. Without a table every rendered page counts as a foreground page.
std::vector<DrawingPage> matchPages(const PageTable& table,
                                    const std::vector<QSizeF>& renderedSizesInches);

}  // namespace pbp::visio
