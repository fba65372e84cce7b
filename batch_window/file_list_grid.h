#pragma once

#include <QStringList>
#include <QTableWidget>
#include <vector>

namespace pbp {

// One entry of the file list: the drawing's path and its print status.
struct GridRow {
    QString path;
    QString status;
    QString statusToolTip;  // empty: the tip shows the status itself
    bool failed = false;    // the drawing was not sent: shown with an icon and in colour
    bool operator==(const GridRow&) const = default;
};

// The file list: a grid addressed by list rows, where row 0 is the header ("File", "Status",
// "Sheets") and rows 1..N are the entries. Whole rows are selected list-box style,
// cells are read-only, and dropped file URLs are handed on as local file names. Rows dragged
// within the list are handed on as a move.
class FileListGrid : public QTableWidget {
    Q_OBJECT

  public:
    explicit FileListGrid(QWidget* parent = nullptr);

    // The Status column's width: by default as wide as the short status texts.
    int defaultStatusColumnWidth() const;
    int statusColumnWidth() const;
    void setStatusColumnWidth(int width);
    // Writes how many sheets an entry prints (column 2), with why when it cannot be counted.
    void setSheets(int row, const QString& sheets, const QString& toolTip);
    // Empties every entry's status.
    void clearStatuses();
    // Scrolls until list row `row` is in view.
    void scrollToRow(int row);
    // While taken, Page Up and Page Down are handed on (pagingKeyPressed) instead of paging the
    // list; Ctrl+Page Up and Ctrl+Page Down page it all the same.
    void setPagingKeysTaken(bool taken) { pagingKeysTaken_ = taken; }

    // N + 1: the header row and the entries.
    int rows() const;
    QString textMatrix(int row, int column) const;
    // Sets an entry's status with a tooltip of its own (the status itself when empty); a failed
    // entry carries a warning icon and the failure colour.
    void setStatus(int row, const QString& status, const QString& toolTip, bool failed = false);
    // The full status of a list row: its tooltip when it has one, else its text.
    QString fullStatus(int row) const;
    // The failed list rows in ascending order.
    std::vector<int> failedRows() const;

    // Appends entries with an empty status.
    void addItems(const QStringList& paths);

    // The selected list rows in ascending order.
    std::vector<int> selectedRows() const;
    void markSelected(int row);
    // The current row (1-based), 0 when there is none.
    int currentListRow() const;
    void setCurrentListRow(int row);

    std::vector<GridRow> entries() const;
    // Replaces every entry in one pass and selects exactly `selectedRows` (list rows).
    void replaceEntries(const std::vector<GridRow>& entries, const std::vector<int>& selectedRows);

  signals:
    void filesDropped(const QStringList& fileNames);
    // The selected rows were dragged and dropped before list row `beforeRow` (rows() at the end).
    void rowsDropped(int beforeRow);
    void deleteKeyPressed();
    // Page Up (-1) or Page Down (+1) while the paging keys are taken.
    void pagingKeyPressed(int step);
    // Any click in the list or change of its selection made by the user.
    void userSelected();
    // Entries were appended or replaced: the Sheets column is empty for them.
    void entriesReplaced();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTableWidgetItem*>& items) const override;

  private:
    void setCell(int tableRow, int column, const QString& text, const QString& toolTip = {});
    void markFailed(int tableRow, bool failed);
    void selectTableRows(const std::vector<int>& tableRows);

    bool pagingKeysTaken_ = false;
};

}  // namespace pbp
