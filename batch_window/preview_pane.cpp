#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include "batch_window/file_list_grid.h"
#include "batch_window/frm_plen_print_batch.h"
#include "batch_window/sheet_preview_pane.h"
#include "batch_window/sheet_preview_state.h"
#include "printing/engine/engine_application.h"
#include "printing/engine/sheet_layout.h"
#include "printing/run/drawing_limits.h"
#include "printing/run/print_services.h"
#include "support/platform.h"

namespace pbp {

using visio::worker::PreviewOrder;

namespace {

// How the selected printer would print a drawing with the window's options, one copy: a page on
// any paper the printer offers prints on that paper, as in the run. The printer is asked once
// (each paper can be a round trip to the print server); nothing while no printer is chosen.
std::optional<visio::PlanOptions> previewPlan(SheetPreviewState& state, const QString& printer,
                                              bool firstPageOnly) {
    if (!printServices().printers || printer.isEmpty()) return std::nullopt;
    if (!state.printerPlan || state.printerPlan->first != printer) {
        visio::PrintHint hint;
        hint.printerName = printer;
        hint.landscapeShapedPagesTurned = true;
        const std::optional<visio::PlanOptions> plan =
            visio::printPlanFor(*printServices().printers, hint, visio::nameablePapers());
        if (!plan) return std::nullopt;
        state.printerPlan.emplace(printer, *plan);
    }
    visio::PlanOptions plan = state.printerPlan->second;
    plan.toPage = firstPageOnly ? 1 : visio::kLastPage;
    return plan;
}

// The cache key of a preview: the order itself and the identity of the file it reads.
QByteArray previewKey(const PreviewOrder& order, const FileIdentity& identity) {
    QByteArray key = visio::worker::previewFrame(order);
    key += QByteArray::number(identity.size) + ':' + QByteArray::number(identity.modifiedNs) + ':' +
           QByteArray::number(identity.device) + ':' + QByteArray::number(identity.inode);
    return key;
}

QImage pictureOf(const visio::SheetPreview& preview) {
    return QImage::fromData(preview.png, "PNG");
}

}  // namespace

void frmPlenPrintBatch::createPreviewControls() {
    preview_ = std::make_unique<SheetPreviewState>(
        [] { return DrawingWorkerSettings(platform().programFolder); });
    SheetPreviewState& state = *preview_;
    state.pane = new SheetPreviewPane(this);
    state.pane->hide();

    auto* view = new QMenu(tr("&View"), this);
    view->setObjectName(QStringLiteral("abSubMenuView"));
    menuBar()
        ->insertMenu(abSubMenuHelp_->menuAction(), view)
        ->setObjectName(QStringLiteral("mnuView"));
    state.menu = view->addAction(tr("&Preview"));
    state.menu->setObjectName(QStringLiteral("mnuPreview"));
    state.menu->setCheckable(true);
    connect(view, &QMenu::triggered, this,
            [this](QAction* tool) { abUIControl_ToolClick(tool->objectName()); });

    state.previewSoon.setSingleShot(true);
    connect(&state.previewSoon, &QTimer::timeout, this, [this] { askPreview(0); });
    state.columnSoon.setSingleShot(true);
    connect(&state.columnSoon, &QTimer::timeout, this, &frmPlenPrintBatch::fillSheetColumn);
    const auto soon = [this] { preview_->previewSoon.start(0); };
    connect(fgListOfFiles_->selectionModel(), &QItemSelectionModel::currentChanged, this, soon);
    connect(fgListOfFiles_, &FileListGrid::entriesReplaced, this, [this, soon] {
        soon();
        preview_->columnSoon.start(0);
    });
    connect(cboSelectedPrinter_, &QComboBox::currentTextChanged, this, soon);
    connect(optPrintPageOption_[0], &QRadioButton::toggled, this,
            &frmPlenPrintBatch::previewOptionsChanged);
    connect(state.pane, &SheetPreviewPane::sheetWanted, this, &frmPlenPrintBatch::askPreview);
    connect(fgListOfFiles_, &FileListGrid::pagingKeyPressed, state.pane, &SheetPreviewPane::turn);

    connect(&state.previews, &SheetWorker::answered, this,
            [this](const PreviewOrder& order, const visio::SheetPreview& preview) {
                preview_->pageCounts[order.path] = {preview.plan.foregroundPages(), {}};
                preview_->columnSoon.start(0);
                takePreview(previewKey(order, fileIdentity(order.path)), pictureOf(preview),
                            preview);
            });
    connect(&state.previews, &SheetWorker::failed, this,
            [this](const PreviewOrder& order, const QString& reason) {
                if (preview_->wanted == previewKey(order, fileIdentity(order.path)))
                    preview_->pane->showMessage(reason);
            });
    connect(&state.counts, &SheetWorker::answered, this,
            [this](const PreviewOrder& order, const visio::SheetPreview& preview) {
                preview_->pageCounts[order.path] = {preview.plan.foregroundPages(), {}};
                preview_->columnSoon.start(0);
            });
    connect(&state.counts, &SheetWorker::failed, this,
            [this](const PreviewOrder& order, const QString& reason) {
                // Without a worker program nothing is counted, and nothing is marked.
                if (preview_->counts.available())
                    preview_->pageCounts[order.path] = {-1, reason};
                else
                    preview_->pageCounts.remove(order.path);
                preview_->columnSoon.start(0);
            });
}

void frmPlenPrintBatch::mnuPreview_Click() {
    showPreviewPane(preview_->menu->isChecked());
}

void frmPlenPrintBatch::showPreviewPane(bool shown) {
    preview_->shown = shown;
    preview_->menu->setChecked(shown);
    preview_->pane->setVisible(shown);
    fgListOfFiles_->setPagingKeysTaken(shown);
    Form_Resize();
    if (shown) askPreview(0);
}

// Page 1 only changes both the sheets shown and the counts.
void frmPlenPrintBatch::previewOptionsChanged() {
    preview_->previewSoon.start(0);
    preview_->columnSoon.start(0);
}

// A paper chosen in the printer's properties replaces the drawings' own: the printer is asked
// again.
void frmPlenPrintBatch::printerChoicesChanged() {
    preview_->printerPlan.reset();
    preview_->previewSoon.start(0);
}

// Shows sheet `sheet` of the current row's drawing: from the cache when it was painted for the
// same file and options, else asked of the worker (only the latest request is painted).
void frmPlenPrintBatch::askPreview(int sheet) {
    SheetPreviewState& state = *preview_;
    if (!state.shown) return;
    const int row = fgListOfFiles_->currentListRow();
    if (row < 1 || row >= fgListOfFiles_->rows()) {
        state.wanted.reset();
        state.pane->showMessage(tr("No drawing is selected."));
        return;
    }
    const std::optional<visio::PlanOptions> plan =
        previewPlan(state, cboSelectedPrinter_->currentText(), firstPageOnly());
    if (!plan) {
        state.wanted.reset();
        state.pane->showMessage(tr("No printer is chosen."));
        return;
    }
    PreviewOrder order;
    order.path = fgListOfFiles_->textMatrix(row, 0);
    order.plan = *plan;
    order.sheet = sheet;
    order.longEdgePixels = quint32(state.pane->wantedLongEdge());
    const QByteArray key = previewKey(order, fileIdentity(order.path));
    state.wanted = key;
    if (const SheetPreviewState::Painted* painted = state.painted.object(key)) {
        state.pane->showSheets(painted->preview, painted->picture);
        return;
    }
    if (sheet == 0)
        state.pane->showMessage(tr("Reading %1 ...").arg(order.path.section(QLatin1Char('/'), -1)));
    state.previews.ask(order);
}

// Keeps a painted sheet, and shows it when it is the one the pane waits for; an answer for an
// earlier selection is only kept.
void frmPlenPrintBatch::takePreview(const QByteArray& key, const QImage& picture,
                                    const visio::SheetPreview& preview) {
    SheetPreviewState& state = *preview_;
    auto* painted = new SheetPreviewState::Painted{preview, picture};
    state.painted.insert(key, painted, std::max<qsizetype>(1, picture.sizeInBytes() / 1024));
    if (state.wanted == key) state.pane->showSheets(preview, picture);
}

// Writes each row's sheets (its foreground pages, or 1 for page 1 only) and asks the worker to
// count the next drawing not yet counted. The report of a run stays until the list changes.
void frmPlenPrintBatch::fillSheetColumn() {
    for (int row = 1; row < fgListOfFiles_->rows(); ++row) writeSheetsCell(row);
    if (!runReportShown_) writeStatusLine();
    countNextDrawing();
}

void frmPlenPrintBatch::writeSheetsCell(int row) {
    const auto count = preview_->pageCounts.constFind(fgListOfFiles_->textMatrix(row, 0));
    QString text;
    QString tip;
    if (count != preview_->pageCounts.constEnd()) {
        if (count->pages >= 0)
            text = QString::number(firstPageOnly() ? std::min(count->pages, 1) : count->pages);
        else if (!count->problem.isEmpty())
            text = QStringLiteral("?");
        tip = count->problem;
    }
    fgListOfFiles_->setSheets(row, text, tip);
}

// A printed drawing's pages as the run read them: they fill a row the background count has
// not reached, and correct one counted before the file changed.
void frmPlenPrintBatch::pagesRead(const QString& path, int foregroundPages) {
    if (!preview_) return;
    preview_->pageCounts[path] = {foregroundPages, {}};
    for (int row = 1; row < fgListOfFiles_->rows(); ++row)
        if (fgListOfFiles_->textMatrix(row, 0) == path) writeSheetsCell(row);
    writeStatusLine();
}

void frmPlenPrintBatch::countNextDrawing() {
    SheetPreviewState& state = *preview_;
    // A silent run shows no list: it starts no worker of the window's.
    if (state.counts.busy() || !state.counts.available()) return;
    for (int row = 1; row < fgListOfFiles_->rows(); ++row) {
        const QString path = fgListOfFiles_->textMatrix(row, 0);
        if (state.pageCounts.contains(path)) continue;
        PreviewOrder order;
        order.path = path;
        order.plan.defaultPaper = QPageSize(QPageSize::A4);
        order.plan.toPage = 1;  // the plan counts every foreground page all the same
        state.pageCounts.insert(path, {});
        state.counts.ask(order);
        return;
    }
}

// The sheets of the listed drawings counted so far: their sum and how many are counted.
std::pair<qint64, int> frmPlenPrintBatch::countedSheets() const {
    if (!preview_) return {0, 0};
    qint64 sheets = 0;
    int counted = 0;
    const bool firstOnly = firstPageOnly();
    for (int row = 1; row < fgListOfFiles_->rows(); ++row) {
        const int pages = preview_->pageCounts.value(fgListOfFiles_->textMatrix(row, 0)).pages;
        if (pages < 0) continue;
        sheets += firstOnly ? std::min(pages, 1) : pages;
        ++counted;
    }
    return {sheets, counted};
}

// Beside the list, when shown: the pane takes the right two fifths of the list and its status
// lines, from the list's top to their foot.
void frmPlenPrintBatch::layOutPreviewPane() {
    if (!preview_ || !preview_->shown) return;
    const QRect list = fgListOfFiles_->geometry();
    const int paneWidth = list.width() * 2 / 5;
    const int listWidth = list.width() - paneWidth - 4;
    fgListOfFiles_->resize(listWidth, list.height());
    lblRowStatus_->resize(listWidth, lblRowStatus_->height());
    preview_->pane->setGeometry(list.right() + 1 - paneWidth, list.y(), paneWidth,
                                lblRowStatus_->geometry().bottom() + 1 - list.y());
}

}  // namespace pbp
