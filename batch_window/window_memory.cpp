#include <optional>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/sheet_preview_state.h"
#include "support/error_handling.h"
#include "support/settings_store.h"

namespace pbp {

namespace {
// A window at least this wide (in pixels) shows the preview unless the user hid it.
constexpr int kPreviewWidth = 900;
}  // namespace

// A layout never saved, or one that cannot be read, leaves the window at its design size.
void frmPlenPrintBatch::restoreWindowLayout() {
    std::optional<bool> chosen;
    IgnoringErrors([&] {
        const WindowLayout layout = settingsStore().windowLayout();
        if (!layout.geometry.isEmpty()) restoreGeometry(layout.geometry);
        if (layout.statusColumnWidth > 0)
            fgListOfFiles_->setStatusColumnWidth(layout.statusColumnWidth);
        chosen = layout.showPreview;
    });
    showPreviewPane(chosen.value_or(width() >= kPreviewWidth));
}

void frmPlenPrintBatch::saveWindowLayout() {
    settingsStore().keepWindowLayout(
        {saveGeometry(), fgListOfFiles_->statusColumnWidth(), preview_->shown});
}

}  // namespace pbp
