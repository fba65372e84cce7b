#include "support/path_dialog.h"

#include <QCoreApplication>
#include <memory>

#include "resources/string_table.h"
#include "support/common_dialog.h"
#include "support/error_handling.h"
#include "support/platform.h"

namespace pbp {

namespace {
constexpr int kDefaultFilterResource = 801;
constexpr int kTooManyFilesResource = 901;
}  // namespace

QStringList GetPathAndFileName(QWidget* owner, int mode, const QString& title,
                               const QString& initDir, const QString& fileName,
                               const QString& filter) {
    QStringList result;
    try {
        auto dlg = std::make_unique<C_CommonDlg>();
        dlg->OwnerWindow = owner;
        if (!title.isEmpty()) dlg->DialogTitle = title;
        if (!initDir.isEmpty()) dlg->InitDir = initDir;
        dlg->Filter = filter.isEmpty() ? LoadResString(kDefaultFilterResource) : filter;
        if (!fileName.isEmpty()) dlg->FileName = fileName;
        dlg->flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_ENABLEHOOK;
        dlg->FilterIndex = 1;
        dlg->CancelError = false;
        if (mode == 0) {
            dlg->ShowOpen();
            result = dlg->FileNames();
        } else if (mode == 1) {
            dlg->ShowSave();
            result = dlg->FileNames();
        }
    } catch (...) {
        const VbError error = CurrentError();
        result.clear();
        if (error.number() == kCommonDialogBufferTooSmall) {
            IgnoringErrors([] {
                platform().messages->show(
                    QCoreApplication::translate("PathDialog", "PlenPrint - Batch"),
                    LoadResString(kTooManyFilesResource), MessageIcon::Exclamation);
            });
        } else if (error.number() != kCommonDialogCancel) {
            ReportError(QStringLiteral("modFileOperations"), QStringLiteral("GetPathAndFileName"),
                        error);
        }
    }
    return result;
}

}  // namespace pbp
