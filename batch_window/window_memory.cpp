#include <QByteArray>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/sheet_preview_state.h"
#include "support/error_handling.h"
#include "support/mod_registry_api.h"

namespace pbp {

namespace {
// The window's size and place and the Status column's width, beside the saved printer.
const QString kWindowKey = kProgramSettingsKey + QStringLiteral("\\Window");
const QString kGeometryValue = QStringLiteral("Geometry");
const QString kStatusWidthValue = QStringLiteral("StatusColumnWidth");
const QString kPreviewValue = QStringLiteral("ShowPreview");
// A window at least this wide (in pixels) shows the preview unless the user hid it.
constexpr int kPreviewWidth = 900;

QString savedText(const QString& valueName) {
    const QVariant value = GetRegistryValue(HKEY_CURRENT_USER, kWindowKey, valueName);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}
}  // namespace

// A layout never saved, or one that cannot be read, leaves the window at its design size.
void frmPlenPrintBatch::restoreWindowLayout() {
    IgnoringErrors([&] {
        const QByteArray geometry = QByteArray::fromBase64(savedText(kGeometryValue).toLatin1());
        if (!geometry.isEmpty()) restoreGeometry(geometry);
    });
    IgnoringErrors([&] {
        bool ok = false;
        const int width = savedText(kStatusWidthValue).toInt(&ok);
        if (ok && width > 0) fgListOfFiles_->setStatusColumnWidth(width);
    });
    bool shown = width() >= kPreviewWidth;
    IgnoringErrors([&] {
        const QString saved = savedText(kPreviewValue);
        if (!saved.isEmpty()) shown = saved == QLatin1String("1");
    });
    showPreviewPane(shown);
}

void frmPlenPrintBatch::saveWindowLayout() {
    AddRegistryKey(HKEY_CURRENT_USER, kWindowKey);
    WriteRegistryString(HKEY_CURRENT_USER, kWindowKey, kGeometryValue,
                        QString::fromLatin1(saveGeometry().toBase64()));
    WriteRegistryString(HKEY_CURRENT_USER, kWindowKey, kStatusWidthValue,
                        QString::number(fgListOfFiles_->statusColumnWidth()));
    WriteRegistryString(HKEY_CURRENT_USER, kWindowKey, kPreviewValue,
                        preview_->shown ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace pbp
