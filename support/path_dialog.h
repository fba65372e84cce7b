#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace pbp {

// Shows an open (mode 0) or save (mode 1) dialog and answers the chosen paths: every file
// chosen in an open dialog, the one name of a save dialog; none after a cancel or a failure.
// Too many files chosen shows a message; any other failure is reported.
QStringList GetPathAndFileName(QWidget* owner, int mode, const QString& title = {},
                               const QString& initDir = {}, const QString& fileName = {},
                               const QString& filter = {});

}  // namespace pbp
