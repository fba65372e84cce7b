#include <QByteArray>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "support/error_handling.h"
#include "support/mod_registry_api.h"

namespace pbp {

namespace {
// The window's size and place and the Status column's width, beside the saved printer.
const QString kWindowKey = kProgramSettingsKey + QStringLiteral("\\Window");
const QString kGeometryValue = QStringLiteral("Geometry");
const QString kStatusWidthValue = QStringLiteral("StatusColumnWidth");

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
}

void frmPlenPrintBatch::saveWindowLayout() {
    AddRegistryKey(HKEY_CURRENT_USER, kWindowKey);
    WriteRegistryString(HKEY_CURRENT_USER, kWindowKey, kGeometryValue,
                        QString::fromLatin1(saveGeometry().toBase64()));
    WriteRegistryString(HKEY_CURRENT_USER, kWindowKey, kStatusWidthValue,
                        QString::number(fgListOfFiles_->statusColumnWidth()));
}

}  // namespace pbp
