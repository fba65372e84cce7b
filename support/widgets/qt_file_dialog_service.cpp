#include "support/widgets/qt_file_dialog_service.h"

#include <QFileDialog>

namespace pbp {

FileDialogAnswer QtFileDialogService::run(const FileDialogRequest& request) {
    QFileDialog dialog(request.owner, request.title, request.initialDir);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.allowMultiple ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
    }
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        if (request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size())
            dialog.selectNameFilter(request.nameFilters[request.selectedFilter]);
    }
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted) return {};
    return {dialog.selectedFiles()};
}

}  // namespace pbp
