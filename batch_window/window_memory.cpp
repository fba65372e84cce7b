#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "support/error_handling.h"
#include "support/settings_store.h"

namespace pbp {

// A layout never saved, or one that cannot be read, leaves the window at its design size.
void frmPlenPrintBatch::restoreWindowLayout() {
    IgnoringErrors([&] {
        const WindowLayout layout = settingsStore().windowLayout();
        if (!layout.geometry.isEmpty()) restoreGeometry(layout.geometry);
        if (layout.statusColumnWidth > 0)
            fgListOfFiles_->setStatusColumnWidth(layout.statusColumnWidth);
    });
}

void frmPlenPrintBatch::saveWindowLayout() {
    settingsStore().keepWindowLayout({saveGeometry(), fgListOfFiles_->statusColumnWidth()});
}

}  // namespace pbp
