#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QTimer>
#include <optional>
#include <utility>

#include "batch_window/sheet_worker.h"

class QAction;

namespace pbp {

class SheetPreviewPane;

// What the batch window keeps for its preview pane and its Sheets column.
struct SheetPreviewState {
    explicit SheetPreviewState(const SheetWorker::Settings& settings)
        : previews(settings), counts(settings) {}

    SheetPreviewPane* pane = nullptr;
    QAction* menu = nullptr;
    SheetWorker previews;  // paints the selected drawing's sheets, only the latest asked for
    SheetWorker counts;    // counts every listed drawing's pages, one after another
    QTimer previewSoon;    // asks for the preview once the selection has settled
    QTimer columnSoon;     // fills the Sheets column once the list has settled
    bool shown = false;
    // The chosen printer's plan: its default paper and the papers it offers.
    std::optional<std::pair<QString, visio::PlanOptions>> printerPlan;

    // The sheets and pictures painted, by the order's bytes and the file's identity.
    struct Painted {
        visio::SheetPreview preview;
        QImage picture;
    };
    QCache<QByteArray, Painted> painted{64 * 1024};  // cost in KiB of picture
    std::optional<QByteArray> wanted;                // the key of the preview the pane waits for

    // Each drawing's foreground pages, or why they could not be counted (none yet: under way).
    struct Count {
        int pages = -1;
        QString problem;
    };
    QHash<QString, Count> pageCounts;
};

}  // namespace pbp
