#pragma once

#include <QMainWindow>

#include "printing/run/batch_print_view.h"
#include "printing/run/job_deletions.h"
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

// The batch window: the list of drawings, the print options, the menus and the status line.
// Every control carries its own control name (cmdPrint, fgListOfFiles, ...) as objectName.
class frmPlenPrintBatch : public QMainWindow, public BatchPrintView {
    Q_OBJECT

  public:
    explicit frmPlenPrintBatch(QWidget* parent = nullptr);
    ~frmPlenPrintBatch() override;

    // Builds the window from the start-up collection and makes the run-mode decision:
    // interactive shows the window, silent prints and ends the process.
    void Display(FileCollection& cFiles);

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
    bool copiesLeftToPrinter() const override;
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
    void fillPrinterList();
    void describePrinters();
    void selectPrinterIndex(int index);
    void writeStatusLine();
    void explainPrintState();
    void setListButtonsEnabled(bool enabled);
    void appendRows(const QStringList& paths);
    void finishDisplayAfterFailure();
    void applyCommandLineOptions();
    void setAsideDamagedSettings();
    void runClosingSteps();
    void restoreWindowLayout();
    void saveWindowLayout();

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

    FileCollection m_cFiles;
    JobDeletions m_oJobDeletions;
    // The printer a silent run was told to use; it wins over the remembered one, and a name
    // that is not installed fails each drawing instead of printing elsewhere.
    QString m_sExplicitPrinter;
    bool m_bClosingStepsDone = false;
    // The list is kept for the next start: set once an interactive window has its list.
    bool m_bKeepList = false;
};

}  // namespace pbp
