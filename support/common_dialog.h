#pragma once

#include <QString>
#include <QStringList>

#include "support/file_dialog_service.h"

class QWidget;

namespace pbp {

// Error numbers raised by the dialog object.
inline constexpr qint32 kCommonDialogCancel = 32755;           // cancelled while CancelError is set
inline constexpr qint32 kCommonDialogBufferTooSmall = 0x3003;  // names do not fit MaxFileSize

// Dialog option flags the program sets.
inline constexpr qint32 OFN_ALLOWMULTISELECT = 0x200;
inline constexpr qint32 OFN_ENABLEHOOK = 0x20;
inline constexpr qint32 OFN_EXPLORER = 0x80000;

// Settings and results of one open or save dialog, shown through platform().fileDialogs.
// Failures are raised as VbError: a cancel with CancelError set raises 32755, chosen names that
// do not fit MaxFileSize characters raise 12291.
class C_CommonDlg {
  public:
    QString FileName;     // in: initial name; out: the (first) chosen path
    QString DialogTitle;  // empty: the platform's caption
    QString Filter;       // "Description|pattern|Description|pattern..."
    QString DefaultExt;   // set from the selected filter's pattern when empty
    QString InitDir;
    qint32 flags = 0;  // OFN_ALLOWMULTISELECT lets an open dialog choose several files
    bool CancelError = false;
    int FilterIndex = 0;  // 1-based filter pair selected at start
    int MaxFileSize = 32000;
    QString FileTitle;
    QWidget* OwnerWindow = nullptr;
    qint32 InitialView = 0;
    bool NoPlacesBar = false;

    // Kept for the common-dialog control's interface; the file dialogs do not use them.
    qint32 Color = 0;
    QString FontName;
    bool FontBold = false, FontItalic = false, FontStrikeThru = false, FontUnderLine = false;
    int FromPage = 0, ToPage = 0, Min = 0, Max = 0;
    int Copies = 1;
    QString HelpFile;
    int HelpCommand = 0;
    QString HelpKey;
    bool PrinterDefault = true;
    qint32 HelpContext = 0;
    float FontSize = 8;
    int Action = 0;
    qint32 hDC = 0;
    qint32 Orientation = 1;
    QString Tag;
    qint32 Instance = 0;

    // Every path chosen by the last ShowOpen or ShowSave.
    const QStringList& FileNames() const { return m_cFileNames; }

    // Open dialog. The chosen paths must fit the classic name buffer: MaxFileSize characters
    // for the path and its NUL, or for several files the folder and the names, each with its
    // NUL, and a closing NUL.
    void ShowOpen();
    // Save dialog: FileName holds the chosen path.
    void ShowSave();

  private:
    FileDialogRequest buildRequest(bool save);
    void failWith(qint32 code);

    QStringList m_cFileNames;
};

// "A|*.a; *.b|B|*.c" as Qt name filters: "A (*.a *.b)", "B (*.c)". A pattern list already
// written in parentheses at the end of a description is not repeated.
QStringList FilterToNameFilters(const QString& filter);

// The Windows 2000 family test of the dialog record's size; never true on Linux.
bool IsWindows2000Family();
// 88 for the Windows 2000 family, else 76.
qint32 GetOpenFileNameRecordSize();

}  // namespace pbp
