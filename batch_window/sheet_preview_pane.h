#pragma once

#include <QFrame>
#include <QImage>

#include "printing/engine/sheet_preview.h"

class QLabel;

namespace pbp {

// The preview pane: one sheet of the selected drawing as it will print, its paper outline and
// below it the paper, its orientation, the scale and the page's name, with "Page 2 of 5" above.
// Page Up and Page Down ask for the sheet before and after. It only shows what it is given.
class SheetPreviewPane : public QFrame {
    Q_OBJECT

  public:
    explicit SheetPreviewPane(QWidget* parent = nullptr);

    // The drawing's sheets, with sheet `shown` (0-based) painted in `picture`.
    void showSheets(const visio::SheetPreview& preview, const QImage& picture);
    // A text instead of a sheet: the drawing is being read, cannot be opened, or none is chosen.
    void showMessage(const QString& text);

    const visio::SheetPreview& preview() const { return preview_; }
    int sheet() const { return preview_.shown; }
    // The text shown instead of a sheet; empty while a sheet is shown.
    QString message() const { return message_; }
    // The picture's longer edge in device pixels: what the worker is asked to paint.
    int wantedLongEdge() const;
    // Asks for the sheet `step` after (or before) the one shown, when the drawing has it.
    void turn(int step);

  signals:
    void sheetWanted(int sheet);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRect pictureArea() const;

    QLabel* lblPreviewPage_ = nullptr;
    QLabel* lblPreviewSheet_ = nullptr;
    visio::SheetPreview preview_;
    QImage picture_;
    QString message_;
};

// "A4, landscape, 71 %, Page-1": what the pane says of one sheet.
QString describeSheet(const visio::PlannedSheet& sheet);

}  // namespace pbp
