#pragma once

#include <QMainWindow>
#include <memory>

#include "printing/engine/sheet_preview.h"
#include "printing/run/batch_print_view.h"
#include "printing/run/job_deletions.h"
#include "printing/run/run_request.h"
#include "support/file_collection.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace pbp {

class FileListGrid;
struct SheetPreviewState;

// The batch window: the list of drawings, the print options, the menus and the status line.
// Every control carries its own control name (cmdPrint, fgListOfFiles, ...) as objectName.
class frmPlenPrintBatch : public QMainWindow, public BatchPrintView {
    Q_OBJECT

  public:
    explicit frmPlenPrintBatch(QWidget* parent = nullptr);
    ~frmPlenPrintBatch() override;

    // Builds the window from the start's drawings and choices and shows it.
    void Display(const RunRequest& request);

    // File list
    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdMoveUp_Click();
    void cmdMoveDown_Click();
    void fgListOfFiles_OLEDragDrop(const QStringList& fileNames);
    void RemoveSelectedRows(FileListGrid& list);
    void RefreshPrintState();
    void DeleteMarkedFiles();
    void mnuClearList_Click();
    // Row tools of the Edit and context menus.
    void mnuSelectFailed_Click();
    void mnuPrintFailedAgain_Click();
    void mnuOpenRow_Click();
    void mnuOpenRowFolder_Click();

    // Print options
    void LoadDefaultPrinter();
    void SaveDefaultPrinter();
    void cboSelectedPrinter_Click();
    void cmdPrinterProperties_Click();
    void chkPrintSummaryPage_Click();
    // Returns the character code to use: 0 discards the key.
    ushort txtCopies_KeyPress(ushort keyAscii);

    // Frame, menus and help
    void LoadMenuCaptions();
    void LoadMenuImages();
    void abUIControl_ToolClick(const QString& toolName);
    void mnuContents_Click();
    void mnuAbout_Click();
    void mnuOpenPdfFolder_Click();
    // Asks for a file and prints the list into it as one PDF.
    void mnuSaveAsOnePdf_Click();
    void saveAsOnePdf(const QString& path);
    void mnuExit_Click();
    // View, Preview: shows or hides the preview pane.
    void mnuPreview_Click();
    void cmdClose_Click();
    void cmdPrint_Click();
    void Form_Resize();

    // Batch lists
    void mnuExportBatch_Click();
    void mnuImportBatch_Click();

    // BatchPrintView
    int rowCount() const override;
    QString cellText(int row, int column) const override;
    void setOutcome(int row, const EntryOutcome& outcome) override;
    QString copiesText() const override;
    QString printerText() const override;
    bool firstPageOnly() const override;
    bool summaryPageChecked() const override;
    QString summaryHeader() const override;
    void setPrintAndCloseEnabled(bool enabled) override;
    std::unique_ptr<StatusWindow> openStatusWindow() override;
    void minimizeWindow(qint32 hWnd) override;
    void runFinished(const std::vector<EntryOutcome>& outcomes) override;
    void runStarting() override;
    void entryStarting(int row) override;
    void pagesRead(const QString& path, int foregroundPages) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createFileListControls();
    void createPrintOptionControls();
    void createMenusAndStatusBar();
    void createRowMenu();
    void showRowMenu(const QPoint& at);
    void enableRowTools();
    void moveSelectedRows(int offset);
    void moveRowsBefore(int beforeRow);
    void writeRowStatusLine();
    // True when the printer has no known problem, or the user chose to print all the same.
    bool printerProblemAccepted();
    void restoreKeptList();
    void startKeepingList();
    void scheduleKeepList();
    void keepListNow();
    void applyTabOrder();
    void fillPrinterList(const QString& asked);
    void describePrinters();
    void selectPrinterIndex(int index);
    void writeStatusLine();
    void explainPrintState();
    void setListButtonsEnabled(bool enabled);
    void appendRows(const QStringList& paths);
    void applyCommandLineOptions(const RunRequest& request);
    void setAsideDamagedSettings();
    void runClosingSteps();
    void restoreWindowLayout();
    void saveWindowLayout();
    // The preview pane and the Sheets column (preview_pane.cpp).
    void createPreviewControls();
    void showPreviewPane(bool shown);
    void previewOptionsChanged();
    void printerChoicesChanged();
    void askPreview(int sheet);
    void takePreview(const QByteArray& key, const QImage& picture,
                     const visio::SheetPreview& preview);
    void fillSheetColumn();
    void writeSheetsCell(int row);
    void countNextDrawing();
    void layOutPreviewPane();
    std::pair<qint64, int> countedSheets() const;

    FileListGrid* fgListOfFiles_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdRemove_ = nullptr;
    QPushButton* cmdMoveUp_ = nullptr;
    QPushButton* cmdMoveDown_ = nullptr;
    QPushButton* cmdPrint_ = nullptr;
    QPushButton* cmdClose_ = nullptr;

    QGroupBox* fraPrintOptions_ = nullptr;
    QLabel* lblSelectedPrinter_ = nullptr;
    QComboBox* cboSelectedPrinter_ = nullptr;
    QPushButton* cmdPrinterProperties_ = nullptr;
    QLabel* lblCopies_ = nullptr;
    QLineEdit* txtCopies_ = nullptr;
    QCheckBox* chkPrintSummaryPage_ = nullptr;
    QLabel* lblPrintSummaryHeader_ = nullptr;
    QLineEdit* txtPrintSummaryHeader_ = nullptr;
    QWidget* picPrintOptions_ = nullptr;
    QRadioButton* optPrintPageOption_[2] = {nullptr, nullptr};

    QMenu* abSubMenuFile_ = nullptr;
    QMenu* abSubMenuHelp_ = nullptr;
    QAction* mnuContents_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QLabel* lblRowStatus_ = nullptr;
    QMenu* abSubMenuEdit_ = nullptr;
    QMenu* mnuRows_ = nullptr;
    QTimer* keepListTimer_ = nullptr;

    std::unique_ptr<SheetPreviewState> preview_;

    FileCollection m_cFiles;
    JobDeletions m_oJobDeletions;
    QString outputPdf_;  // --output: Print writes the run into this one PDF
    bool m_bClosingStepsDone = false;
    bool runReportShown_ = false;  // the status line tells how the last run went
    // The list is kept for the next start: set once an interactive window has its list.
    bool m_bKeepList = false;
};

}  // namespace pbp
