#include "batch_window/file_list_grid.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QUrl>
#include <algorithm>

#include "printing/run/status_texts.h"

namespace pbp {

namespace {
// Room around a cell's text: the item view's margins on both sides.
constexpr int kCellPadding = 12;
// Rows dragged within the list; the data is unused, the selection says which rows move.
const QString kRowsMimeType = QStringLiteral("application/x-plenbatchprint-rows");
// Failed rows: a dark red that reads well on light backgrounds.
const QColor kFailureColour(0xa0, 0x10, 0x10);
constexpr int kFailedRole = Qt::UserRole;

// Restores updates and signals of the grid when a bulk change ends.
class BulkChange {
  public:
    explicit BulkChange(QTableWidget& grid) : grid_(grid), signals_(&grid) {
        grid_.setUpdatesEnabled(false);
    }
    ~BulkChange() { grid_.setUpdatesEnabled(true); }

  private:
    QTableWidget& grid_;
    QSignalBlocker signals_;
};
}  // namespace

FileListGrid::FileListGrid(QWidget* parent) : QTableWidget(0, 3, parent) {
    setHorizontalHeaderLabels({tr("File"), tr("Status"), tr("Sheets")});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // The File column takes the spare width and elides its paths in the middle, so the file
    // name always shows; the Status column is as wide as its short texts and can be dragged.
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    setTextElideMode(Qt::ElideMiddle);
    setColumnWidth(1, defaultStatusColumnWidth());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Tab leaves the list for the next control instead of walking its cells.
    setTabKeyNavigation(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QTableWidget::itemSelectionChanged, this, &FileListGrid::userSelected);
}

int FileListGrid::defaultStatusColumnWidth() const {
    int widest = horizontalHeader()->fontMetrics().horizontalAdvance(tr("Status"));
    for (const QString& text : {status_text::kSentToPrinter, status_text::printFailed({})})
        widest = std::max(widest, fontMetrics().horizontalAdvance(text));
    return widest + kCellPadding;
}

int FileListGrid::statusColumnWidth() const {
    return columnWidth(1);
}

void FileListGrid::setStatusColumnWidth(int width) {
    setColumnWidth(1, width);
}

void FileListGrid::clearStatuses() {
    {
        BulkChange bulk(*this);
        for (int r = 0; r < rowCount(); ++r) {
            setCell(r, 1, QString());
            markFailed(r, false);
        }
    }
    viewport()->update();
}

void FileListGrid::scrollToRow(int row) {
    scrollTo(model()->index(row - 1, 0), QAbstractItemView::EnsureVisible);
}

int FileListGrid::rows() const {
    return rowCount() + 1;
}

QString FileListGrid::textMatrix(int row, int column) const {
    if (row == 0) return horizontalHeaderItem(column)->text();
    const QTableWidgetItem* cell = item(row - 1, column);
    return cell ? cell->text() : QString();
}

void FileListGrid::setStatus(int row, const QString& status, const QString& toolTip, bool failed) {
    setCell(row - 1, 1, status, toolTip);
    markFailed(row - 1, failed);
}

QString FileListGrid::fullStatus(int row) const {
    const QTableWidgetItem* cell = item(row - 1, 1);
    return cell ? cell->toolTip() : QString();
}

std::vector<int> FileListGrid::failedRows() const {
    std::vector<int> result;
    for (int r = 0; r < rowCount(); ++r) {
        const QTableWidgetItem* cell = item(r, 1);
        if (cell && cell->data(kFailedRole).toBool()) result.push_back(r + 1);
    }
    return result;
}

// A failed row shows a warning icon beside its status and both its cells in the failure
// colour; the icon also tells it apart for those who cannot tell the colour.
void FileListGrid::markFailed(int tableRow, bool failed) {
    QTableWidgetItem* status = item(tableRow, 1);
    if (!status && !failed) return;
    if (!status) setItem(tableRow, 1, status = new QTableWidgetItem);
    if (status->data(kFailedRole).toBool() == failed) return;
    status->setData(kFailedRole, failed);
    status->setIcon(failed ? style()->standardIcon(QStyle::SP_MessageBoxWarning) : QIcon());
    for (int column = 0; column < 2; ++column) {
        if (QTableWidgetItem* cell = item(tableRow, column))
            cell->setData(Qt::ForegroundRole, failed ? QVariant(kFailureColour) : QVariant());
    }
}
void FileListGrid::setSheets(int row, const QString& sheets, const QString& toolTip) {
    if (textMatrix(row, 2) == sheets &&
        (!item(row - 1, 2) || item(row - 1, 2)->toolTip() == toolTip))
        return;
    setCell(row - 1, 2, sheets, toolTip);
    if (QTableWidgetItem* cell = item(row - 1, 2))
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void FileListGrid::setCell(int tableRow, int column, const QString& text, const QString& toolTip) {
    QTableWidgetItem* cell = item(tableRow, column);
    if (!cell) {
        if (text.isEmpty()) return;
        cell = new QTableWidgetItem;
        setItem(tableRow, column, cell);
    }
    cell->setText(text);
    // Long paths and multi-line statuses are cut in their one-line cell; the tip shows them whole.
    cell->setToolTip(toolTip.isEmpty() ? text : toolTip);
}

void FileListGrid::addItems(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const int first = rowCount();
    {
        BulkChange bulk(*this);
        setRowCount(first + int(paths.size()));
        for (int i = 0; i < paths.size(); ++i) setCell(first + i, 0, paths[i]);
    }
    viewport()->update();
    emit entriesReplaced();
}

std::vector<int> FileListGrid::selectedRows() const {
    std::vector<int> result;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r) result.push_back(r + 1);
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

int FileListGrid::currentListRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void FileListGrid::setCurrentListRow(int row) {
    selectionModel()->setCurrentIndex(model()->index(row - 1, 0), QItemSelectionModel::NoUpdate);
}

void FileListGrid::markSelected(int row) {
    selectionModel()->select(model()->index(row - 1, 0),
                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

std::vector<GridRow> FileListGrid::entries() const {
    std::vector<GridRow> result;
    result.reserve(rowCount());
    for (int r = 1; r < rows(); ++r) {
        const QTableWidgetItem* status = item(r - 1, 1);
        const QString tip =
            status && status->toolTip() != status->text() ? status->toolTip() : QString();
        result.push_back({textMatrix(r, 0), textMatrix(r, 1), tip,
                          status && status->data(kFailedRole).toBool()});
    }
    return result;
}

void FileListGrid::replaceEntries(const std::vector<GridRow>& newEntries,
                                  const std::vector<int>& selected) {
    {
        BulkChange bulk(*this);
        clearSelection();
        setRowCount(int(newEntries.size()));
        for (int r = 0; r < int(newEntries.size()); ++r) {
            setCell(r, 0, newEntries[r].path);
            setCell(r, 1, newEntries[r].status, newEntries[r].statusToolTip);
            markFailed(r, newEntries[r].failed);
            setCell(r, 2, QString());
        }
        std::vector<int> tableRows;
        tableRows.reserve(selected.size());
        for (int row : selected) tableRows.push_back(row - 1);
        selectTableRows(tableRows);
    }
    viewport()->update();
    emit entriesReplaced();
}

// Selects the given ascending table rows with one selection request, adjacent rows merged.
void FileListGrid::selectTableRows(const std::vector<int>& tableRows) {
    QItemSelection selection;
    const int lastColumn = columnCount() - 1;
    for (size_t i = 0; i < tableRows.size();) {
        size_t end = i;
        while (end + 1 < tableRows.size() && tableRows[end + 1] == tableRows[end] + 1) ++end;
        selection.append(QItemSelectionRange(model()->index(tableRows[i], 0),
                                             model()->index(tableRows[end], lastColumn)));
        i = end + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!tableRows.empty()) {
        selectionModel()->setCurrentIndex(model()->index(tableRows.front(), 0),
                                          QItemSelectionModel::NoUpdate);
    }
}

void FileListGrid::keyPressEvent(QKeyEvent* event) {
    // The Delete key of the main block or of the keypad.
    if (event->key() == Qt::Key_Delete &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        emit deleteKeyPressed();
        return;
    }
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        if (pagingKeysTaken_ && event->modifiers() == Qt::NoModifier) {
            emit pagingKeyPressed(event->key() == Qt::Key_PageDown ? 1 : -1);
            return;
        }
        // Ctrl would move the current row without selecting: it pages as the plain key does.
        if (event->modifiers() == Qt::ControlModifier) {
            QKeyEvent plain(QEvent::KeyPress, event->key(), Qt::NoModifier);
            QTableWidget::keyPressEvent(&plain);
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
}

void FileListGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    emit userSelected();
}

QStringList FileListGrid::mimeTypes() const {
    return {kRowsMimeType};
}

QMimeData* FileListGrid::mimeData(const QList<QTableWidgetItem*>& /*items*/) const {
    auto* rows = new QMimeData;
    rows->setData(kRowsMimeType, QByteArrayLiteral("rows"));
    return rows;
}

void FileListGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() || event->mimeData()->hasFormat(kRowsMimeType))
        event->acceptProposedAction();
}

void FileListGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls() || event->mimeData()->hasFormat(kRowsMimeType)) {
        QTableWidget::dragMoveEvent(event);
        event->acceptProposedAction();
    }
}

void FileListGrid::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasFormat(kRowsMimeType)) {
        // Dropped on the lower half of a row: after it; below the last row: at the end.
        const QPoint at = event->position().toPoint();
        const QModelIndex target = indexAt(at);
        int before = rows();
        if (target.isValid()) {
            const QRect cell = visualRect(target);
            before = target.row() + 1 + (at.y() > cell.center().y() ? 1 : 0);
        }
        // The move is done here, not by the item view, which would empty the dragged rows.
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        emit rowsDropped(before);
        return;
    }
    if (!event->mimeData()->hasUrls()) return;
    QStringList names;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) names.append(url.toLocalFile());
    }
    event->acceptProposedAction();
    emit filesDropped(names);
}

}  // namespace pbp
