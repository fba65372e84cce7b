#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QUrl>
#include <iterator>

#include "about/frm_about.h"
#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/sheet_preview_state.h"
#include "printing/printers/pdf_folder_printer.h"
#include "printing/run/print_command.h"
#include "progress/twips.h"
#include "resources/help_location.h"
#include "resources/pictures.h"
#include "resources/string_table.h"
#include "support/design_font.h"
#include "support/error_handling.h"
#include "support/file_operations.h"
#include "support/platform.h"
#include "support/widgets/set_icons.h"
#include "support/win_api.h"

namespace pbp {

namespace {

constexpr int kDesignClientWidth = 7875;
constexpr int kDesignClientHeight = 5625;
constexpr int kMinimumWidth = 8000;
constexpr int kMinimumHeight = 5800;
// The layout rules work on the window's outer size. The frame a window manager draws is not
// known before the window is mapped, and differs between desktops, so the outer size is taken
// as the client size plus the design's own frame: the layout is then the same before and after
// the window is decorated (nothing jumps at the first resize) and the same on every desktop.
constexpr int kDesignFrameWidth = 140;
constexpr int kDesignFrameHeight = 430;

QAction* addTool(QMenu& menu, const char* name, const QKeySequence& shortcut = {}) {
    QAction* tool = menu.addAction(QString());
    tool->setObjectName(QLatin1String(name));
    tool->setShortcut(shortcut);
    return tool;
}

void addSeparator(QMenu& menu) {
    menu.addSeparator()->setObjectName(QStringLiteral("mnuSeperator"));
}

// Tool names and their caption resources.
struct ToolCaption {
    const char* name;
    int resourceId;
};
constexpr ToolCaption kToolCaptions[] = {
    {"mnuFile", 701},        {"mnuHelp", 703},          {"mnuImportBatch", 711},
    {"mnuExportBatch", 712}, {"mnuOpenPdfFolder", 713}, {"mnuExit", 702},
    {"mnuContents", 704},    {"mnuAbout", 706},         {"mnuClearList", 714},
    {"mnuEdit", 715},        {"mnuSelectFailed", 716},  {"mnuPrintFailedAgain", 717},
    {"mnuPrint", 718},
};
}  // namespace

frmPlenPrintBatch::frmPlenPrintBatch(QWidget* parent) : QMainWindow(parent) {
    setObjectName(kBatchWindowModule);
    setFont(DesignFont());
    createMenusAndStatusBar();
    createFileListControls();
    createRowMenu();
    createPrintOptionControls();
    createPreviewControls();
    applyTabOrder();
    setMinimumSize(toPixelsAtLeast(kMinimumWidth - kDesignFrameWidth),
                   toPixelsAtLeast(kMinimumHeight - kDesignFrameHeight));
    cmdPrint_->installEventFilter(this);
    explainPrintState();
    resize(toPixels(kDesignClientWidth), toPixels(kDesignClientHeight));
}

frmPlenPrintBatch::~frmPlenPrintBatch() = default;

void frmPlenPrintBatch::createMenusAndStatusBar() {
    QMenuBar* abMenu = menuBar();
    abMenu->setObjectName(QStringLiteral("abMenu"));

    abSubMenuFile_ = new QMenu(this);
    abSubMenuFile_->setObjectName(QStringLiteral("abSubMenuFile"));
    abMenu->addMenu(abSubMenuFile_)->setObjectName(QStringLiteral("mnuFile"));
    addTool(*abSubMenuFile_, "mnuPrint", QKeySequence(Qt::CTRL | Qt::Key_P));
    addTool(*abSubMenuFile_, "mnuSaveAsOnePdf")->setText(tr("Save as One P&DF..."));
    addSeparator(*abSubMenuFile_);
    addTool(*abSubMenuFile_, "mnuImportBatch", QKeySequence(Qt::CTRL | Qt::Key_O));
    addTool(*abSubMenuFile_, "mnuExportBatch", QKeySequence(Qt::CTRL | Qt::Key_S));
    addTool(*abSubMenuFile_, "mnuClearList");
    addTool(*abSubMenuFile_, "mnuOpenPdfFolder");
    addSeparator(*abSubMenuFile_);
    addTool(*abSubMenuFile_, "mnuExit", QKeySequence(Qt::CTRL | Qt::Key_Q));

    abSubMenuEdit_ = new QMenu(this);
    abSubMenuEdit_->setObjectName(QStringLiteral("abSubMenuEdit"));
    abMenu->addMenu(abSubMenuEdit_)->setObjectName(QStringLiteral("mnuEdit"));
    addTool(*abSubMenuEdit_, "mnuSelectFailed");
    addTool(*abSubMenuEdit_, "mnuPrintFailedAgain");
    connect(abSubMenuEdit_, &QMenu::aboutToShow, this, &frmPlenPrintBatch::enableRowTools);

    abSubMenuHelp_ = new QMenu(this);
    abSubMenuHelp_->setObjectName(QStringLiteral("abSubMenuHelp"));
    abMenu->addMenu(abSubMenuHelp_)->setObjectName(QStringLiteral("mnuHelp"));
    mnuContents_ = addTool(*abSubMenuHelp_, "mnuContents", QKeySequence(Qt::Key_F1));
    addSeparator(*abSubMenuHelp_);
    mnuAbout_ = addTool(*abSubMenuHelp_, "mnuAbout");

    for (QMenu* menu : {abSubMenuFile_, abSubMenuEdit_, abSubMenuHelp_}) {
        connect(menu, &QMenu::triggered, this,
                [this](QAction* tool) { abUIControl_ToolClick(tool->objectName()); });
    }

    QStatusBar* abStatusBar = statusBar();
    abStatusBar->setObjectName(QStringLiteral("abStatusBar"));
    abStatusBar->setSizeGripEnabled(false);
    lblStatus_ = new QLabel(abStatusBar);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lblStatus_->setMinimumHeight(lblStatus_->fontMetrics().height() + 2);
    abStatusBar->addWidget(lblStatus_, 1);
}

// Tab order: the list buttons, Print, Close, the list, then the print options.
void frmPlenPrintBatch::applyTabOrder() {
    QWidget* order[] = {cmdAdd_,
                        cmdRemove_,
                        cmdMoveUp_,
                        cmdMoveDown_,
                        cmdPrint_,
                        cmdClose_,
                        fgListOfFiles_,
                        txtCopies_,
                        cboSelectedPrinter_,
                        cmdPrinterProperties_,
                        optPrintPageOption_[1],
                        optPrintPageOption_[0],
                        chkPrintSummaryPage_,
                        txtPrintSummaryHeader_};
    for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmPlenPrintBatch::LoadMenuCaptions() {
    setWindowTitle(LoadResString(101));
    menuBar()->setWindowTitle(LoadResString(707));
    for (const ToolCaption& caption : kToolCaptions) {
        if (auto* tool = findChild<QAction*>(QLatin1String(caption.name)))
            tool->setText(LoadResString(caption.resourceId));
    }
}

void frmPlenPrintBatch::LoadMenuImages() {
    mnuContents_->setIcon(QIcon(LoadResPicture(112)));
    mnuAbout_->setIcon(QIcon(LoadResPicture(115)));
    SetIcon(this, QStringLiteral("IDI_ICON1"), true);
}

void frmPlenPrintBatch::abUIControl_ToolClick(const QString& toolName) {
    if (toolName == QLatin1String("mnuImportBatch")) {
        mnuImportBatch_Click();
    } else if (toolName == QLatin1String("mnuExportBatch")) {
        mnuExportBatch_Click();
    } else if (toolName == QLatin1String("mnuOpenPdfFolder")) {
        mnuOpenPdfFolder_Click();
    } else if (toolName == QLatin1String("mnuPrint")) {
        if (cmdPrint_->isEnabled()) cmdPrint_->click();
    } else if (toolName == QLatin1String("mnuSaveAsOnePdf")) {
        if (cmdPrint_->isEnabled()) mnuSaveAsOnePdf_Click();
    } else if (toolName == QLatin1String("mnuClearList")) {
        mnuClearList_Click();
    } else if (toolName == QLatin1String("mnuSelectFailed")) {
        mnuSelectFailed_Click();
    } else if (toolName == QLatin1String("mnuPrintFailedAgain")) {
        mnuPrintFailedAgain_Click();
    } else if (toolName == QLatin1String("mnuExit")) {
        mnuExit_Click();
    } else if (toolName == QLatin1String("mnuContents")) {
        mnuContents_Click();
    } else if (toolName == QLatin1String("mnuAbout")) {
        mnuAbout_Click();
    } else if (toolName == QLatin1String("mnuPreview")) {
        mnuPreview_Click();
    }
}

void frmPlenPrintBatch::mnuContents_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuContents_Click"),
            [&] { ShellOpenOrFail(HelpPagePath(platform().programFolder)); });
}

// Opens the built-in PDF printer's folder with the desktop's file manager; the folder is made
// first when nothing was printed to it yet.
void frmPlenPrintBatch::mnuOpenPdfFolder_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuOpenPdfFolder_Click"), [&] {
        const QString folder = printers::pdfOutputFolder();
        QDir().mkpath(folder);
        ShellOpenOrFail(folder);
    });
}

void frmPlenPrintBatch::mnuAbout_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("mnuAbout_Click"),
            [&] { frmAbout(this).Display(); });
}

void frmPlenPrintBatch::cmdPrint_Click() {
    // --output: the run goes into that one PDF, whatever printer the box shows.
    if (!outputPdf_.isEmpty())
        saveAsOnePdf(outputPdf_);
    else if (printerProblemAccepted())
        pbp::cmdPrint_Click(*this);
}

void frmPlenPrintBatch::Form_Resize() {
    if (isMinimized()) return;
    const auto outerWidth = [&] { return toTwips(width()) + kDesignFrameWidth; };
    const auto outerHeight = [&] { return toTwips(height()) + kDesignFrameHeight; };
    if (outerWidth() < kMinimumWidth)
        resize(toPixelsAtLeast(kMinimumWidth - kDesignFrameWidth), height());
    if (outerHeight() < kMinimumHeight)
        resize(width(), toPixelsAtLeast(kMinimumHeight - kDesignFrameHeight));
    const int W = outerWidth();
    const int H = outerHeight();
    setLeftTwips(*cmdClose_, W - widthTwips(*cmdClose_) - 200);
    setLeftTwips(*cmdPrint_, leftTwips(*cmdClose_) - widthTwips(*cmdPrint_) - 100);
    setTopTwips(*cmdClose_, H - heightTwips(*cmdClose_) - 1000);
    setTopTwips(*cmdPrint_, topTwips(*cmdClose_));
    setTopTwips(*fraPrintOptions_, topTwips(*cmdPrint_) - heightTwips(*fraPrintOptions_) - 200);
    setWidthTwips(*fraPrintOptions_, W - 300);
    setWidthTwips(*cboSelectedPrinter_,
                  widthTwips(*fraPrintOptions_) - 300 - widthTwips(*cmdPrinterProperties_));
    setLeftTwips(*cmdPrinterProperties_,
                 leftTwips(*cboSelectedPrinter_) + widthTwips(*cboSelectedPrinter_) + 100);
    setTopTwips(*picPrintOptions_, topTwips(*fraPrintOptions_) + 900);
    setLeftTwips(*cmdAdd_, W - widthTwips(*cmdAdd_) - 200);
    for (QPushButton* button : {cmdRemove_, cmdMoveUp_, cmdMoveDown_})
        setLeftTwips(*button, leftTwips(*cmdAdd_));
    setHeightTwips(*fgListOfFiles_, H - 3800);
    setWidthTwips(*fgListOfFiles_, W - widthTwips(*cmdAdd_) - 400);
    // The selected row's status takes the list's foot: three lines hold a failure's whole text
    // (the path, the reason and the reader's cause).
    const int statusHeight = 3 * lblRowStatus_->fontMetrics().lineSpacing() + 2;
    fgListOfFiles_->resize(fgListOfFiles_->width(), fgListOfFiles_->height() - statusHeight);
    lblRowStatus_->setGeometry(fgListOfFiles_->x(), fgListOfFiles_->geometry().bottom() + 1,
                               fgListOfFiles_->width(), statusHeight);
    layOutPreviewPane();
}

void frmPlenPrintBatch::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmPlenPrintBatch::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

// Enter runs Print (the default button) unless a focused button takes it; Esc runs Close.
void frmPlenPrintBatch::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (cmdPrint_->isEnabled()) cmdPrint_->click();
            return;
        case Qt::Key_Escape:
            if (cmdClose_->isEnabled()) cmdClose_->click();
            return;
        default:
            QMainWindow::keyPressEvent(event);
    }
}

}  // namespace pbp
