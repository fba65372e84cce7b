#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/list_edits.h"
#include "printing/run/status_texts.h"
#include "progress/twips.h"
#include "support/drawing_types.h"
#include "support/error_handling.h"
#include "support/path_dialog.h"

namespace pbp {

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        TwipsRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(true);
    placeCaptionInTwips(*button, geometry);
    return button;
}

// Buttons of one column or row share the width of the widest.
void giveSameWidth(std::initializer_list<QPushButton*> buttons) {
    int width = 0;
    for (QPushButton* button : buttons) width = std::max(width, button->width());
    for (QPushButton* button : buttons) button->resize(width, button->height());
}
}  // namespace

void frmPlenPrintBatch::createFileListControls() {
    fgListOfFiles_ = new FileListGrid(this);
    fgListOfFiles_->setObjectName(QStringLiteral("fgListOfFiles"));
    fgListOfFiles_->setAccessibleName(tr("Drawings to print"));
    placeInTwips(*fgListOfFiles_, {120, 360, 6375, 2415});
    lblRowStatus_ = new QLabel(this);
    lblRowStatus_->setObjectName(QStringLiteral("lblRowStatus"));
    lblRowStatus_->setAccessibleName(tr("Status of the selected drawing"));
    lblRowStatus_->setWordWrap(true);
    lblRowStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdAdd_ = makeButton(this, "cmdAdd", tr("&Add File(s)..."), {6600, 360, 1215, 375});
    cmdRemove_ = makeButton(this, "cmdRemove", tr("&Remove File(s)"), {6600, 840, 1215, 375});
    cmdMoveUp_ = makeButton(this, "cmdMoveUp", tr("Move &Up"), {6600, 1440, 1215, 375});
    cmdMoveDown_ = makeButton(this, "cmdMoveDown", tr("Move &Down"), {6600, 1920, 1215, 375});
    cmdPrint_ = makeButton(this, "cmdPrint", tr("&Print"), {5280, 4680, 1215, 375});
    cmdClose_ = makeButton(this, "cmdClose", tr("&Close"), {6600, 4680, 1215, 375});
    giveSameWidth({cmdAdd_, cmdRemove_, cmdMoveUp_, cmdMoveDown_});
    giveSameWidth({cmdPrint_, cmdClose_});
    setListButtonsEnabled(false);
    cmdPrint_->setEnabled(false);

    connect(cmdAdd_, &QPushButton::clicked, this, &frmPlenPrintBatch::cmdAdd_Click);
    connect(cmdRemove_, &QPushButton::clicked, this, &frmPlenPrintBatch::cmdRemove_Click);
    connect(cmdMoveUp_, &QPushButton::clicked, this, &frmPlenPrintBatch::cmdMoveUp_Click);
    connect(cmdMoveDown_, &QPushButton::clicked, this, &frmPlenPrintBatch::cmdMoveDown_Click);
    connect(cmdPrint_, &QPushButton::clicked, this, &frmPlenPrintBatch::cmdPrint_Click);
    connect(cmdClose_, &QPushButton::clicked, this, &frmPlenPrintBatch::cmdClose_Click);

    connect(fgListOfFiles_, &FileListGrid::deleteKeyPressed, this,
            &frmPlenPrintBatch::cmdRemove_Click);
    connect(fgListOfFiles_, &FileListGrid::filesDropped, this,
            &frmPlenPrintBatch::fgListOfFiles_OLEDragDrop);
    connect(fgListOfFiles_, &FileListGrid::rowsDropped, this, &frmPlenPrintBatch::moveRowsBefore);
    connect(fgListOfFiles_, &FileListGrid::userSelected, this, [this] {
        if (fgListOfFiles_->rows() >= 2) setListButtonsEnabled(true);
    });
    connect(fgListOfFiles_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmPlenPrintBatch::writeRowStatusLine);
    connect(fgListOfFiles_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmPlenPrintBatch::writeRowStatusLine);
    connect(fgListOfFiles_->model(), &QAbstractItemModel::dataChanged, this,
            &frmPlenPrintBatch::writeRowStatusLine);
}

void frmPlenPrintBatch::setListButtonsEnabled(bool enabled) {
    cmdRemove_->setEnabled(enabled);
    cmdMoveUp_->setEnabled(enabled);
    cmdMoveDown_->setEnabled(enabled);
}

void frmPlenPrintBatch::appendRows(const QStringList& paths) {
    fgListOfFiles_->addItems(paths);
}

void frmPlenPrintBatch::writeStatusLine() {
    runReportShown_ = false;
    const int drawings = fgListOfFiles_->rows() - 1;
    QString text = tr("Items selected to print: ") + QString::number(drawings);
    // The sheets they print, once the workers have counted some of them.
    const auto [sheets, counted] = countedSheets();
    if (counted == drawings && drawings > 0)
        text += tr(" = %L1 sheets").arg(sheets);
    else if (counted > 0)
        text += tr(" (%L1 sheets in the %2 counted so far)").arg(sheets).arg(counted);
    lblStatus_->setText(text);
}

void frmPlenPrintBatch::RefreshPrintState() {
    cmdPrint_->setEnabled(false);
    writeStatusLine();
    if (CopiesArePrintable(txtCopies_->text()) && !cboSelectedPrinter_->currentText().isEmpty() &&
        fgListOfFiles_->rows() >= 2)
        cmdPrint_->setEnabled(true);
    explainPrintState();
}

// A disabled Print says why in its tooltip: the first of the things it waits for.
void frmPlenPrintBatch::explainPrintState() {
    QString why;
    if (!cmdPrint_->isEnabled()) {
        if (fgListOfFiles_->rows() < 2)
            why = tr("The list is empty");
        else if (!CopiesArePrintable(txtCopies_->text()))
            why = tr("Copies must be a number from 1 to 999");
        else if (cboSelectedPrinter_->currentText().isEmpty())
            why = tr("No printer is chosen");
        else if (!cmdClose_->isEnabled())
            why = tr("The list is being printed");
    }
    cmdPrint_->setToolTip(why);
}

void frmPlenPrintBatch::cmdAdd_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("cmdAdd_Click"), [&] {
        const QStringList chosen =
            GetPathAndFileName(this, 0, QString(), QString(), QString(), DrawingFileFilter());
        const int before = fgListOfFiles_->rows();
        appendRows(chosen);
        RefreshPrintState();
        // Back to the list, on the first drawing added, so the keyboard and a screen reader
        // go on where the new entries are.
        if (fgListOfFiles_->rows() > before) fgListOfFiles_->setCurrentListRow(before);
        fgListOfFiles_->setFocus(Qt::OtherFocusReason);
    });
}

void frmPlenPrintBatch::RemoveSelectedRows(FileListGrid& list) {
    const std::vector<int> selected = list.selectedRows();
    if (selected.empty()) return;
    const ListEdit edit = RemoveRows(list.entries(), selected);
    list.replaceEntries(edit.entries, edit.selectedRows);
    if (list.rows() < 2) setListButtonsEnabled(false);
}

void frmPlenPrintBatch::cmdRemove_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("cmdRemove_Click"), [&] {
        RemoveSelectedRows(*fgListOfFiles_);
        writeStatusLine();
        if (fgListOfFiles_->rows() < 2) cmdPrint_->setEnabled(false);
        explainPrintState();
    });
}

void frmPlenPrintBatch::cmdMoveUp_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("cmdMoveUp_Click"), [&] { moveSelectedRows(-1); });
}

void frmPlenPrintBatch::cmdMoveDown_Click() {
    Guarded(kBatchWindowModule, QStringLiteral("cmdMoveDown_Click"), [&] { moveSelectedRows(+1); });
}

// Takes every dropped drawing: a name with a drawing extension that is not a folder.
void frmPlenPrintBatch::fgListOfFiles_OLEDragDrop(const QStringList& fileNames) {
    Guarded(kBatchWindowModule, QStringLiteral("fgListOfFiles_OLEDragDrop"), [&] {
        QStringList taken;
        for (const QString& name : fileNames) {
            if (HasDrawingExtension(name) && !QFileInfo(name).isDir()) taken.append(name);
        }
        appendRows(taken);
        RefreshPrintState();
    });
}

void frmPlenPrintBatch::DeleteMarkedFiles() {
    m_oJobDeletions.deleteSentMarkedDrawings();
}

}  // namespace pbp
