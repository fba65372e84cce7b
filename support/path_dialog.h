#pragma once

#include <QString>
#include <memory>

#include "support/common_dialog.h"

class QWidget;

namespace pbp {

// Shows an open (mode 0) or save (mode 1) dialog in a new object put into `dlg` and answers
// the chosen name: one path; for several files the folder and the names separated by single
// NULs; an empty text after a cancel or a failure. Too many files chosen shows a message; any
// other failure is reported. `dlg` is always empty again on return.
QString GetPathAndFileName(std::unique_ptr<C_CommonDlg>& dlg, QWidget* owner, int mode,
                           const QString& title = {}, const QString& initDir = {},
                           const QString& fileName = {}, const QString& filter = {});

}  // namespace pbp
