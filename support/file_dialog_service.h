#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace pbp {

// One open or save dialog as the platform shows it.
struct FileDialogRequest {
    QWidget* owner = nullptr;
    bool save = false;           // save dialog; otherwise open dialog
    bool allowMultiple = false;  // open dialog: several files may be chosen
    QString title;               // empty: the platform's default caption
    QString initialDir;          // empty: the platform's choice
    QString fileName;            // initial name
    QStringList nameFilters;     // Qt style, "Description (*.a *.b)"
    int selectedFilter = 0;      // 0-based index into nameFilters
    QString defaultSuffix;
};

// The chosen files as absolute paths; empty when the dialog was cancelled.
struct FileDialogAnswer {
    QStringList files;
};

// Shows file dialogs; production uses QFileDialog, tests answer from a script.
class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    virtual FileDialogAnswer run(const FileDialogRequest& request) = 0;
};

}  // namespace pbp
